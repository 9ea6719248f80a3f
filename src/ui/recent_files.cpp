#include "ui/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString Key(int index)
{
    return kSection + QStringLiteral("/File%1").arg(index + 1);
}

} // namespace

CRecentFiles::CRecentFiles()
{
    const QSettings settings;
    for (int i = 0; i < kMaxFiles; ++i) {
        // A path kept relative to some folder of an earlier run could open another file.
        const QString path = settings.value(Key(i)).toString();
        if (!path.isEmpty() && QDir::isAbsolutePath(path) && !m_files.contains(path))
            m_files.append(path);
    }
}

void CRecentFiles::Add(const QString& typed)
{
    if (typed.isEmpty())
        return;
    const QString path = QFileInfo(typed).absoluteFilePath();
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > kMaxFiles)
        m_files.removeLast();
    Save();
}

void CRecentFiles::Remove(const QString& path)
{
    if (m_files.removeAll(path) > 0)
        Save();
}

void CRecentFiles::Save() const
{
    QSettings settings;
    for (int i = 0; i < kMaxFiles; ++i) {
        if (i < m_files.size())
            settings.setValue(Key(i), m_files.at(i));
        else
            settings.remove(Key(i));
    }
}

QString RecentFileMenuText(int index, const QString& path)
{
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
