#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;

// The inter-process half of the single-instance application.
//
// The first peer of an id takes a lock file in the user's runtime folder and
// listens on a local socket beside it; every later peer of the same id finds
// the lock held and becomes a sender. Without XDG_RUNTIME_DIR the folder is
// one of the user's own in the shared temporary folder, made private; one
// that is not the user's alone is refused, and the peer then runs as an
// instance nobody can reach (and says so).
//
// A lock is an instance's only while an instance answers on the socket (or
// for the moment between taking the lock and listening): one left by a crash,
// whatever host or process it names, is taken over, and the socket file left
// behind is replaced. A socket somebody answers on is never replaced.
//
// Whatever else stands at those paths is cleared when that loses nothing (an
// empty folder; at the socket's path, any file) and passed over otherwise (a
// folder with content; at the lock's path, anything but a regular file): each
// path has a few fallback names beside it, which every peer tries in the same
// order, so that the first instance can always be reached. When no name can be
// used at all, the peer says so once.
class DLocalInstancePeer : public QObject
{
    Q_OBJECT

public:
    // Largest message a sender may deliver; longer frames end the connection.
    static constexpr quint32 MaxMessageBytes = 64 * 1024;
    // How many names the lock and the socket may take, the first one included.
    static constexpr int NameCount = 4;

    explicit DLocalInstancePeer(const QString& id, QObject* parent = nullptr);
    ~DLocalInstancePeer() override;

    QString id() const { return m_id; }
    // True when another live process holds this id.
    bool isRunning() const { return !m_primary; }
    // Delivers a message to the primary peer; true once the primary confirmed it.
    // Waits at most timeoutMs (blocking, so call it where nothing else must run).
    bool sendMessage(const QString& message, int timeoutMs) const;

    // Where the socket and the lock of an id live: the first name, or the
    // fallback name of that index (0 to NameCount - 1). Empty when the user
    // has no private folder for them.
    static QString runtimeFolder();
    static QString serverPath(const QString& id, int index = 0);
    static QString lockPath(const QString& id, int index = 0);
    // The socket this primary listens on; empty for a sender, or when no name
    // could be used.
    QString listeningPath() const;

signals:
    void messageReceived(const QString& message);

private slots:
    void onNewConnection();

private:
    enum class LockResult { Taken, HeldByOther, Unusable };

    bool becomePrimary();
    LockResult lockAt(const QString& path, std::unique_ptr<QLockFile>& lock) const;
    // Whether a server accepts on any of the id's socket names.
    bool instanceAnswers() const;
    void listen();
    void readFrom(QLocalSocket* socket);

    QString m_id;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
};
