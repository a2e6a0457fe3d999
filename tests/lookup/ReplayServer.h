#pragma once
// An HTTP server on 127.0.0.1 that answers each request as the test says: a recorded
// answer, a status, or nothing at all.
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QStringList>
#include <QTcpServer>

#include <functional>
#include <string>

struct Reply {
    int status = 200;
    QByteArray body;
    bool never = false;       // keeps the connection open and says nothing
    QByteArray location = {}; // a redirect's
    qint64 length = -1;       // the Content-Length said: -1 the body's, -2 none (closing ends it)
};

class ReplayServer : public QObject {
    Q_OBJECT
public:
    // Called with the request's path and query ("/api/SRU?version=...").
    using Handler = std::function<Reply(const QString& target)>;

    explicit ReplayServer(Handler handler);
    QString base() const; // "http://127.0.0.1:PORT"

    QStringList targets;      // every request, in order
    QList<QByteArray> agents; // their User-Agent
    QList<qint64> arrivedNs;  // when each came, on the server's own clock

private:
    void serve(class QTcpSocket* socket);
    QTcpServer server_;
    QHash<class QTcpSocket*, QByteArray> pending_; // what each connection sent so far
    Handler handler_;
    QElapsedTimer clock_;
};

// A recorded answer of the services, from tests/lookup/answers/.
QByteArray recorded(const QString& name);

class FakeSettingsBackend;

// Each question of the notice sources answered from the recorded file named for its kind
// ("unimarc", "dc", "ol", "gb"), else as a source that has no such book; "never" keeps
// the question unanswered.
Reply replayNotices(const QString& target, const QMap<QString, QString>& files);
// The sources' addresses pointed at the server, asked in `order` ("bnf,openlibrary").
void pointNoticesAt(FakeSettingsBackend& settings, const ReplayServer& server,
                    const std::string& order);

// Which question of a search by title a request is: "unimarc", "dc", "ol", "olbook" (an
// Open Library edition), "gb", "cover" (a picture of either service).
QString searchKind(const QString& target);
// Each question answered by its plan, "kind=plan": a file of answers/search/, or "never",
// "html" (a page where data was expected), "loop" (a redirect to itself), "huge" (2 GB
// said, more than allowed sent), a status; without a plan, as a source finding nothing.
Reply replaySearches(const QString& target, const QStringList& plans);
