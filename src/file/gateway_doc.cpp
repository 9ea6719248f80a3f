#include "file/gateway_doc.h"

#include <filesystem>

#include "file/config_file.h"
#include "model/device_config.h"
#include "model/lang_strings.h"

std::string gw::WithXmlExtension(const std::string& path)
{
    const std::filesystem::path p(path);
    if (p.has_extension())
        return path;
    return path + ".xml";
}

CGatewayDoc::CGatewayDoc(CDeviceConfig& root, bool& modified, CDocumentUi& ui)
    : m_root(root), m_modified(modified), m_ui(ui)
{
}

std::string CGatewayDoc::GetTitle() const
{
    return m_path.empty() ? gw::GetLangString(AppText::ProgramTitle) : m_path;
}

bool CGatewayDoc::StartUp(const std::optional<std::string>& path)
{
    m_path.clear();
    m_modified = false;
    bool ok = true;
    if (path) {
        const FileResult result = gw::LoadFile(m_root, *path);
        if (result.ok)
            m_path = *path;
        else
            m_ui.ShowMessage(result.message);
        ok = result.ok;
    }
    m_ui.ConfigurationReplaced();
    m_ui.SetTitle(GetTitle());
    m_ui.FileSynced(m_path);
    return ok;
}

bool CGatewayDoc::OnNewDocument()
{
    if (!SaveModified())
        return false;
    m_root.ResetAll();
    m_modified = false;
    m_path.clear();
    m_ui.ConfigurationReplaced();
    m_ui.SetTitle(GetTitle());
    m_ui.FileSynced(m_path);
    return true;
}

bool CGatewayDoc::OnOpenDocument(const std::string& path)
{
    if (!SaveModified())
        return false;
    const FileResult result = gw::LoadFile(m_root, path);
    if (!result.ok) {
        m_ui.ShowMessage(result.message);
        return false;
    }
    m_modified = false;
    m_path = path;
    m_ui.ConfigurationReplaced();
    m_ui.SetTitle(GetTitle());
    m_ui.FileSynced(m_path);
    return true;
}

bool CGatewayDoc::OnSaveDocument(const std::string& path)
{
    if (!m_ui.MayOverwrite(path))
        return false;
    const FileResult result = gw::SaveFile(m_root, path);
    if (!result.ok) {
        m_ui.ShowMessage(result.message);
        return false;
    }
    m_modified = false;
    m_path = path;
    m_ui.SetTitle(GetTitle());
    m_ui.FileSynced(m_path);
    return true;
}

std::optional<std::string> CGatewayDoc::ChooseSavePath()
{
    std::optional<std::string> chosen = m_ui.AskSavePath();
    if (!chosen || chosen->empty())
        return std::nullopt;
    return gw::WithXmlExtension(*chosen);
}

bool CGatewayDoc::DoFileSave()
{
    if (m_path.empty())
        return DoFileSaveAs();
    return OnSaveDocument(m_path);
}

bool CGatewayDoc::DoFileSaveAs()
{
    const std::optional<std::string> path = ChooseSavePath();
    return path && OnSaveDocument(*path);
}

bool CGatewayDoc::SaveModified()
{
    if (!m_modified)
        return true;
    switch (m_ui.AskSaveChanges(gw::GetLangString(MessageText::SaveChangesQuestion))) {
    case CDocumentUi::Answer::Yes:
        return DoFileSave();
    case CDocumentUi::Answer::No:
        return true;
    case CDocumentUi::Answer::Cancel:
    default:
        return false;
    }
}
