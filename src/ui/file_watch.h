#pragma once
// The open configuration file, watched for changes by other programs. The watch remembers what
// the file held when the document last read or wrote it; when the file comes to hold anything
// else, it says so once (changedElsewhere), and ChangedElsewhere() stays true until the document
// reads or writes the file again. The program's own saves are no change.

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

class CFileWatch : public QObject {
    Q_OBJECT
public:
    explicit CFileWatch(QObject* parent = nullptr);

    // The document and the file at path hold the same now; an empty path watches nothing.
    void Follow(const QString& path);
    const QString& Path() const { return m_path; }
    // The file exists and holds something else than the document last read or wrote.
    bool ChangedElsewhere() const;

signals:
    void changedElsewhere(const QString& path);

private:
    void Rearm();
    void Look();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;       // the several writes of another program's save come as one change
    QString m_path;
    QByteArray m_known;    // the digest of what the file held, empty for no file
    bool m_reported = false;
};
