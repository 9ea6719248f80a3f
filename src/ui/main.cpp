#include "ui/gateway_app.h"

int main(int argc, char** argv)
{
    CGatewayApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
