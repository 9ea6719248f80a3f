#include "ui/gateway_app.h"

#include <QCommandLineParser>
#include <ostream>
#include <string_view>
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
    setApplicationVersion(QString::fromUtf8(gw::BuildVersion()));
    setDesktopFileName(QStringLiteral("example.orvelnetworks.GatewayWorkbench"));
}

CGatewayApp::~CGatewayApp() = default;

std::optional<int> AnswerInformationOptions(int argc, const char* const* argv, std::ostream& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--")
            break;
        if (arg == "-v" || arg == "--version") {
            out << "gateway-workbench " << gw::BuildVersion() << '\n';
            return 0;
        }
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all") {
            out << "Usage: gateway-workbench [options] [file]\n"
                   "The desktop configuration tool for the PROFIBUS-DP / serial gateway module.\n\n"
                   "Options:\n"
                   "  -h, --help     Print this help and exit.\n"
                   "  -v, --version  Print the program's version and exit.\n\n"
                   "Arguments:\n"
                   "  file           Configuration file (*.xml) to open.\n";
            if (arg == "--help-all")
                out << "\nThe standard options of the Qt toolkit are taken as well.\n";
            return 0;
        }
    }
    return std::nullopt;
}

bool CGatewayApp::InitInstance()
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Configuration file (*.xml) to open"),
                                 QStringLiteral("[file]"));
    parser.process(*this);

    std::optional<std::string> path;
    if (!parser.positionalArguments().isEmpty())
        path = ToUtf8(parser.positionalArguments().constFirst());

    // The configuration was made before the language was known: make it again in that language.
    ApplyLanguageChoice();
    InstallTranslations();
    m_config.RemakeInActiveLanguage();
    m_frame = std::make_unique<CMainFrame>(m_config, m_modified, m_prompt);
    // A refused file has been reported; the program goes on with the default configuration.
    m_frame->StartUp(path);
    const bool firstRun = !QSettings().contains(QStringLiteral("Workbench/Geometry"));
    m_frame->RestoreLayout();
    m_frame->show();
    m_frame->FitOnScreen(firstRun);
    return true;
}
