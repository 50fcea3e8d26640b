#pragma once

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <vector>

class CQuorvelDoc;

// A document an earlier program left in its autosave folder.
struct RecoverableDocument {
    QString file;   // the texture document written in the background
    QString title;  // the title it had
    QString path;   // its own file, if it had one
};

// An autosave folder of a program that is no longer running, claimed by this one: its lock is
// held, so no other program offers the same documents, until the object goes.
struct OrphanSession {
    QString folder;
    std::unique_ptr<QLockFile> lock;
    QList<RecoverableDocument> documents;
};

// Saves every modified document in the background every interval, as a texture document and a
// small sidecar (title and path), in a folder of this program's own under the per-user data
// folder; a lock file with the process id tells other programs whether it still runs. A
// document's files go when it is saved or closed, the whole folder on a clean exit.
class CAutosaver : public QObject {
    Q_OBJECT

public:
    // Where every program keeps its autosave folders.
    static QString autosaveRoot();
    // Claims the folders of programs that are no longer running; `own` is skipped.
    static std::vector<OrphanSession> claimOrphans(const QString& own = {});

    // `intervalSeconds` 0 or less saves only when asked.
    explicit CAutosaver(int intervalSeconds, QObject* parent = nullptr);
    // A clean exit: waits for the writes and removes this program's folder.
    ~CAutosaver() override;

    void watch(CQuorvelDoc* document);
    // Hands every modified document changed since its last autosave to the writer.
    void saveNow();
    // Waits until the writer has done everything handed to it.
    void flush();
    QString folder() const { return mFolder; }

private:
    struct Entry {
        QPointer<CQuorvelDoc> document;
        QString name;
        quint64 revision = 0;
        bool written = false;
    };
    void removeFiles(Entry& entry);

    QString mFolder;
    std::unique_ptr<QLockFile> mLock;
    QThreadPool mWriter;  // one thread, so that writes and removals happen in order
    QTimer mTimer;
    std::vector<Entry> mEntries;
    int mNextName = 1;
};
