#include "ui/gateway_app.h"

#include <QCommandLineParser>
#include <QSettings>

#include "ui/language_choice.h"
#include "ui/main_frame.h"
#include "ui/ui_text.h"
#include "version/build_version.h"

void SetWorkbenchSettingsNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvel"));
}

CGatewayApp::CGatewayApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetWorkbenchSettingsNames();
    setApplicationVersion(QString::fromUtf8(BuildVersion()));
    setDesktopFileName(QStringLiteral("example.orvelnetworks.GatewayWorkbench"));
}

CGatewayApp::~CGatewayApp() = default;

bool CGatewayApp::InitInstance()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(LangText(1));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Configuration file (*.xml) to open"),
                                 QStringLiteral("[file]"));
    parser.process(*this);

    std::optional<std::string> path;
    if (!parser.positionalArguments().isEmpty())
        path = ToUtf8(parser.positionalArguments().constFirst());

    // The configuration was made before the language was known: make it again in that language.
    ApplyLanguageChoice();
    m_config.ResetAll();
    m_frame = std::make_unique<CMainFrame>(m_config, m_modified, m_prompt);
    // A refused file has been reported; the program goes on with the default configuration.
    m_frame->StartUp(path);
    const bool firstRun = !QSettings().contains(QStringLiteral("Workbench/Geometry"));
    m_frame->RestoreLayout();
    m_frame->show();
    m_frame->FitOnScreen(firstRun);
    return true;
}
