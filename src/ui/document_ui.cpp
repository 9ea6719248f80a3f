#include "ui/document_ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "ui/file_watch.h"
#include "ui/ui_text.h"
#include "ui/user_prompt.h"

CFrameDocumentUi::CFrameDocumentUi(CUserPrompt& prompt, QWidget& window, CFileWatch& watch,
                                   std::function<void()> configurationReplaced)
    : m_prompt(prompt), m_window(window), m_watch(watch), m_configurationReplaced(std::move(configurationReplaced))
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
    return ToUtf8(QFileInfo(path).absoluteFilePath());
}

void CFrameDocumentUi::ShowMessage(const std::string& text)
{
    m_prompt.ShowMessage(&m_window, FromUtf8(text));
}

void CFrameDocumentUi::SetTitle(const std::string& title)
{
    // The window adds its modified mark at "[*]" while there are unsaved changes.
    m_window.setWindowTitle(QDir::toNativeSeparators(FromUtf8(title)) + QStringLiteral("[*]"));
}

void CFrameDocumentUi::ConfigurationReplaced()
{
    if (m_configurationReplaced)
        m_configurationReplaced();
}

void CFrameDocumentUi::FileSynced(const std::string& path)
{
    m_watch.Follow(FromUtf8(path));
}

bool CFrameDocumentUi::MayOverwrite(const std::string& path)
{
    if (FromUtf8(path) != m_watch.Path() || !m_watch.ChangedElsewhere())
        return true;
    return m_prompt.AskYesNo(&m_window, QCoreApplication::translate("CFrameDocumentUi",
                                                                    "%1 was changed by another program since it was "
                                                                    "opened or saved here.\nOverwrite it?")
                                            .arg(QDir::toNativeSeparators(FromUtf8(path))));
}
