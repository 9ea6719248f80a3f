#include "ui/file_watch.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

constexpr int kSettleMs = 150;

// The digest of a file's bytes; empty when it cannot be read.
QByteArray Digest(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

} // namespace

CFileWatch::CFileWatch(QObject* parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &CFileWatch::Look);
    // A save that replaces the file ends the watch of the old one: the new one is watched at once.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        Rearm();
        m_settle.start();
    });
}

void CFileWatch::Follow(const QString& path)
{
    m_path = path;
    m_known = Digest(path);
    m_reported = false;
    Rearm();
}

bool CFileWatch::ChangedElsewhere() const
{
    const QByteArray now = Digest(m_path);
    return !now.isEmpty() && now != m_known;
}

void CFileWatch::Rearm()
{
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_path.isEmpty() && QFile::exists(m_path))
        m_watcher.addPath(m_path);
}

void CFileWatch::Look()
{
    if (m_reported || !ChangedElsewhere())
        return;
    m_reported = true;
    emit changedElsewhere(m_path);
}
