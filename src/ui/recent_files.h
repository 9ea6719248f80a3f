#pragma once
// The list of the four most recently used configuration files, kept in the program's settings
// ("Local AppWizard-Generated Applications"), most recent first, each by its whole path.

#include <QStringList>

class CRecentFiles {
public:
    static constexpr int kMaxFiles = 4;

    CRecentFiles();
    // Puts a path (made whole) at the head of the list, moving it there if it is listed already.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const { return m_files; }

private:
    void Save() const;
    QStringList m_files;
};

// Menu text of entry index (0-based): "&1 path".
QString RecentFileMenuText(int index, const QString& path);
