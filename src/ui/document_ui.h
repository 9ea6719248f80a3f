#pragma once
// What the document needs from the desktop: the save question, the save dialog, messages, the
// window title and the refresh after the configuration was replaced.

#include <functional>

#include "file/gateway_doc.h"

class CUserPrompt;
class QWidget;

class CFrameDocumentUi : public CDocumentUi {
public:
    CFrameDocumentUi(CUserPrompt& prompt, QWidget& window, std::function<void()> configurationReplaced);

    Answer AskSaveChanges(const std::string& question) override;
    std::optional<std::string> AskSavePath() override;
    void ShowMessage(const std::string& text) override;
    void SetTitle(const std::string& title) override;
    void ConfigurationReplaced() override;

private:
    CUserPrompt& m_prompt;
    QWidget& m_window;
    std::function<void()> m_configurationReplaced;
};
