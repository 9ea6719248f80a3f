#pragma once
// The application: the one configuration root and the modified flag of the whole run, the main
// window, and the start-up that opens the file named on the command line.

#include <QApplication>
#include <iosfwd>
#include <memory>
#include <optional>

#include "model/device_config.h"
#include "ui/dialog_prompt.h"

class CMainFrame;

class CGatewayApp : public QApplication {
    Q_OBJECT
public:
    CGatewayApp(int& argc, char** argv);
    ~CGatewayApp() override;

    // Settings location, command line, main window. False when the program cannot start.
    bool InitInstance();

    CDeviceConfig& Config() { return m_config; }
    bool IsModified() const { return m_modified; }
    CMainFrame* MainFrame() const { return m_frame.get(); }

private:
    CDeviceConfig m_config;
    bool m_modified = false;
    CDialogPrompt m_prompt;
    std::unique_ptr<CMainFrame> m_frame;
};

// Settings names of the program: the recent-file list lives under them.
void SetWorkbenchSettingsNames();

// Answers --help and --version on out before anything needs a display; the exit status, or
// none when the program is to start.
std::optional<int> AnswerInformationOptions(int argc, const char* const* argv, std::ostream& out);
