#include <iostream>

#include "ui/gateway_app.h"

int main(int argc, char** argv)
{
    // --help and --version need no display: they are answered before the desktop starts.
    if (const std::optional<int> status = AnswerInformationOptions(argc, argv, std::cout))
        return *status;
    CGatewayApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return app.exec();
}
