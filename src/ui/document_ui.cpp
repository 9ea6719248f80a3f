#include "ui/document_ui.h"

#include <QDir>
#include <QWidget>

#include "ui/ui_text.h"
#include "ui/user_prompt.h"

CFrameDocumentUi::CFrameDocumentUi(CUserPrompt& prompt, QWidget& window, std::function<void()> configurationReplaced)
    : m_prompt(prompt), m_window(window), m_configurationReplaced(std::move(configurationReplaced))
{
}

CDocumentUi::Answer CFrameDocumentUi::AskSaveChanges(const std::string& question)
{
    switch (m_prompt.AskYesNoCancel(&m_window, FromUtf8(question))) {
    case CUserPrompt::Answer::Yes: return Answer::Yes;
    case CUserPrompt::Answer::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<std::string> CFrameDocumentUi::AskSavePath()
{
    const QString path = m_prompt.AskSavePath(&m_window);
    if (path.isEmpty())
        return std::nullopt;
    return ToUtf8(path);
}

void CFrameDocumentUi::ShowMessage(const std::string& text)
{
    m_prompt.ShowMessage(&m_window, FromUtf8(text));
}

void CFrameDocumentUi::SetTitle(const std::string& title)
{
    m_window.setWindowTitle(QDir::toNativeSeparators(FromUtf8(title)));
}

void CFrameDocumentUi::ConfigurationReplaced()
{
    if (m_configurationReplaced)
        m_configurationReplaced();
}
