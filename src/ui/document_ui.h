#pragma once
// What the document needs from the desktop: the save question, the save dialog, messages, the
// window title, the refresh after the configuration was replaced, and the watch of its file with
// the question before another program's change of it is overwritten.

#include <functional>

#include "file/gateway_doc.h"

class CFileWatch;
class CUserPrompt;
class QWidget;

class CFrameDocumentUi : public CDocumentUi {
public:
    CFrameDocumentUi(CUserPrompt& prompt, QWidget& window, CFileWatch& watch, std::function<void()> configurationReplaced);

    Answer AskSaveChanges(const std::string& question) override;
    std::optional<std::string> AskSavePath() override;
    void ShowMessage(const std::string& text) override;
    void SetTitle(const std::string& title) override;
    void ConfigurationReplaced() override;
    void FileSynced(const std::string& path) override;
    bool MayOverwrite(const std::string& path) override;

private:
    CUserPrompt& m_prompt;
    QWidget& m_window;
    CFileWatch& m_watch;
    std::function<void()> m_configurationReplaced;
};
