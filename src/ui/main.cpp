#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel placeholder("gateway-workbench");
    placeholder.show();
    return app.exec();
}
