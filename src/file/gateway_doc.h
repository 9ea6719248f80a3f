#pragma once
// The document: ties the one configuration of the running program to a file. It keeps the
// path and the title, asks before unsaved changes are dropped, and runs New, Open, Save and
// Save As. Dialogs and messages go through CDocumentUi, which the desktop program implements
// with real dialogs and tests implement with scripted answers.

#include <optional>
#include <string>

class CDeviceConfig;

class CDocumentUi {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~CDocumentUi() = default;
    // "Configuration has been changed, save it or not?" with Yes, No and Cancel.
    virtual Answer AskSaveChanges(const std::string& question) = 0;
    // A save dialog for "XML File(*.xml)" that confirms overwriting; none when cancelled.
    virtual std::optional<std::string> AskSavePath() = 0;
    // A message with an OK button (a failed open or save, a file of the other language).
    virtual void ShowMessage(const std::string& text) = 0;
    // The main window's title.
    virtual void SetTitle(const std::string& title) = 0;
    // The configuration was replaced or reset: rebuild the tree, clear the grid and the selection.
    virtual void ConfigurationReplaced() = 0;
    // The document and its file (none for an empty path) hold the same now: the file was just
    // read or written.
    virtual void FileSynced(const std::string& /*path*/) {}
    // Asked before the document writes its file over path; false keeps the file as it is.
    virtual bool MayOverwrite(const std::string& /*path*/) { return true; }
};

class CGatewayDoc {
public:
    // The document works on root and on the program-wide modified flag; it owns neither.
    CGatewayDoc(CDeviceConfig& root, bool& modified, CDocumentUi& ui);

    // The document at start-up: the constructors' configuration, or the file named on the
    // command line. Never asks anything.
    bool StartUp(const std::optional<std::string>& path);

    // File > New: asks to save changes, then resets the configuration.
    bool OnNewDocument();
    // File > Open with a chosen path: asks to save changes, then reads the file. A refused
    // file leaves configuration, path, title and modified flag as they were.
    bool OnOpenDocument(const std::string& path);
    // Writes the configuration to path and makes it the current file.
    bool OnSaveDocument(const std::string& path);
    // File > Save: to the current file, or through the save dialog when there is none.
    bool DoFileSave();
    // File > Save As: always through the save dialog.
    bool DoFileSaveAs();
    // Before the main window closes: true when it may close.
    bool CanCloseFrame() { return SaveModified(); }
    // The save prompt: true to go on, false for Cancel. Yes followed by a cancelled or failed
    // save counts as Cancel, so nothing is lost.
    bool SaveModified();

    const std::string& GetPathName() const { return m_path; }
    std::string GetTitle() const;
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

private:
    std::optional<std::string> ChooseSavePath();

    CDeviceConfig& m_root;
    bool& m_modified;
    CDocumentUi& m_ui;
    std::string m_path;
};

namespace gw {

// The path with ".xml" appended when its file name has no extension.
std::string WithXmlExtension(const std::string& path);

} // namespace gw
