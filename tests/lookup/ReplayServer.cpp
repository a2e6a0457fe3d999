#include "ReplayServer.h"

#include "FakeServices.h"

#include <QFile>
#include <QTcpSocket>

ReplayServer::ReplayServer(Handler handler) : handler_(std::move(handler)) {
    if (!server_.listen(QHostAddress::LocalHost)) qFatal("no local port for the test server");
    clock_.start();
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QObject::destroyed, this, [this, socket] { pending_.remove(socket); });
        }
    });
}

QString ReplayServer::base() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

void ReplayServer::serve(QTcpSocket* socket) {
    QByteArray& seen = pending_[socket];
    seen += socket->readAll();
    const qsizetype end = seen.indexOf("\r\n\r\n");
    if (end < 0) return;
    const QList<QByteArray> lines = seen.left(end).split('\n');
    const QString target = QString::fromLatin1(lines.at(0).split(' ').value(1));
    for (const QByteArray& line : lines)
        if (line.toLower().startsWith("user-agent:")) agents << line.mid(11).trimmed();
    seen.clear();
    targets << target;
    arrivedNs << clock_.nsecsElapsed();
    const Reply r = handler_(target);
    if (r.never) return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\n";
    if (r.length != -2)
        head += "Content-Length: " + QByteArray::number(r.length < 0 ? r.body.size() : r.length) +
                "\r\n";
    if (!r.location.isEmpty()) head += "Location: " + r.location + "\r\n";
    socket->write(head + "Connection: close\r\n\r\n" + r.body);
    socket->disconnectFromHost();
}

QByteArray recorded(const QString& name) {
    QFile f(QStringLiteral(Q7_ANSWERS "/") + name);
    if (!f.open(QIODevice::ReadOnly)) qFatal("missing answer %s", qPrintable(name));
    return f.readAll();
}

Reply replayNotices(const QString& target, const QMap<QString, QString>& files) {
    QString kind = target.contains(u"unimarcxchange") ? "unimarc"
                   : target.contains(u"dublincore")   ? "dc"
                   : target.startsWith(u"/api/books") ? "ol"
                                                      : "gb";
    if (files.value(kind) == u"never") return {0, {}, true};
    if (files.contains(kind)) return {200, recorded(files.value(kind))};
    if (kind == u"ol") return {200, "{}"};
    if (kind == u"gb") return {200, R"({"kind": "books#volumes", "totalItems": 0})"};
    return {200, recorded("bnf-sru-unimarc-9789999999999-empty.xml")};
}

void pointNoticesAt(FakeSettingsBackend& settings, const ReplayServer& server,
                    const std::string& order) {
    auto& v = settings.values;
    v["Notices/ordre"] = order;
    v["Notices/bnf"] = (server.base() + "/api/SRU").toStdString();
    v["Notices/openlibrary"] = server.base().toStdString();
    v["Notices/googlebooks"] = (server.base() + "/books/v1").toStdString();
}

QString searchKind(const QString& target) {
    if (target.contains(u"recordSchema=unimarcxchange")) return QStringLiteral("unimarc");
    if (target.contains(u"recordSchema=dublincore")) return QStringLiteral("dc");
    if (target.startsWith(u"/search.json")) return QStringLiteral("ol");
    if (target.startsWith(u"/books/OL")) return QStringLiteral("olbook");
    if (target.startsWith(u"/books/v1/volumes")) return QStringLiteral("gb");
    if (target.startsWith(u"/books/content") || target.startsWith(u"/b/"))
        return QStringLiteral("cover");
    return QStringLiteral("?");
}

Reply replaySearches(const QString& target, const QStringList& plans) {
    const QString kind = searchKind(target);
    QString plan;
    for (const QString& p : plans)
        if (p.startsWith(kind + u'=')) plan = p.mid(kind.size() + 1);
    bool number = false;
    const int status = plan.toInt(&number);
    if (number) return {status, "Erreur"};
    if (plan == u"never") return {0, {}, true};
    if (plan == u"html")
        return {200, "<!DOCTYPE html><html><head><title>Maintenance</title></head>"
                     "<body><p>Service indisponible</p></body></html>"};
    if (plan == u"loop") return {302, {}, false, target.toUtf8()};
    if (plan == u"huge") return {200, QByteArray(5 << 20, ' '), false, {}, 2LL << 30};
    if (plan.startsWith(u'{')) return {200, plan.toUtf8()};
    if (!plan.isEmpty()) return {200, recorded(QStringLiteral("search/") + plan)};
    if (kind == u"ol") return {200, R"({"numFound": 0, "start": 0, "docs": []})"};
    if (kind == u"gb") return {200, R"({"kind": "books#volumes", "totalItems": 0})"};
    if (kind == u"olbook" || kind == u"cover") return {404, "{}"};
    return {200, recorded("bnf-sru-unimarc-9789999999999-empty.xml")};
}
