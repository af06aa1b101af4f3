#include "SiteRoutes.h"

#include "DataStore.h"
#include "KorvaloServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QRegularExpression>
#include <QUrlQuery>

namespace korvalo::server {

namespace {

constexpr qint64 kMaxListFile = 64 * 1024;
constexpr qint64 kMaxPicture = 8 * 1024 * 1024;
constexpr qsizetype kMaxAddress = 255;
constexpr qsizetype kMaxField = 100;

// The file at name inside dir, when it is a regular file whose real path
// (links resolved) stays inside dir.
QString containedFile(const QString& dir, const QString& name) {
    const QString root = QFileInfo(dir).canonicalFilePath();
    const QFileInfo info(dir + u'/' + name);
    const QString real = info.canonicalFilePath();
    if (root.isEmpty() || real.isEmpty() || !real.startsWith(root + u'/') || !info.isFile())
        return {};
    return real;
}

std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > limit)
        return std::nullopt;
    return file.read(limit);
}

Reply noCache(Reply r) {
    r.headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("no-store")));
    return r;
}

Reply bannerList(const QString& dataDir) {
    QByteArray list;
    if (const auto text =
            readSmallFile(containedFile(dataDir, QStringLiteral("banners.txt")), kMaxListFile))
        for (const QByteArray& line : text->split('\n')) {
            const QString id = QString::fromUtf8(line.trimmed());
            if (isBannerId(id))
                list += id.toLatin1() + '|';
        }
    return noCache(Reply::text(list.isEmpty() ? QByteArray("No") : list));
}

std::optional<Reply> bannerPage(const QString& dataDir, const QString& id) {
    if (!isBannerId(id))
        return std::nullopt;
    const auto text = readSmallFile(
        containedFile(dataDir, QStringLiteral("banners/") + id + QStringLiteral(".url")),
        kMaxListFile);
    if (!text)
        return std::nullopt;
    const QByteArray target = text->split('\n').first().trimmed();
    if (!target.startsWith("http://") && !target.startsWith("https://"))
        return std::nullopt;
    return Reply::redirect(target);
}

std::optional<Reply> bannerPicture(const QString& dataDir, const QString& name) {
    if (!name.endsWith(u".gif") || !isBannerId(name.chopped(4)))
        return std::nullopt;
    const auto picture =
        readSmallFile(containedFile(dataDir, QStringLiteral("banners/") + name), kMaxPicture);
    if (!picture)
        return std::nullopt;
    Reply r;
    r.contentType = "image/gif";
    r.body = *picture;
    return r;
}

QString page(const QString& title, const QString& content) {
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"ar\" dir=\"rtl\">\n<head>\n"
                          "<meta charset=\"utf-8\">\n<title>%1</title>\n"
                          "<style>body{font-family:sans-serif;max-width:40em;margin:2em auto;"
                          "padding:0 1em}label{display:block;margin-top:1em}"
                          "input{width:100%;box-sizing:border-box}"
                          "input[dir=ltr]{text-align:left}</style>\n"
                          "</head>\n<body>\n%2</body>\n</html>\n")
        .arg(title.toHtmlEscaped(), content);
}

Reply homePage() {
    return Reply::html(
        page(QStringLiteral("Korvalo"),
             QStringLiteral("<h1>Korvalo</h1>\n<p>دليل المواقع العربية على سطح المكتب.</p>\n"
                            "<p><a href=\"/links/addLink.asp\">اقترح موقعاً للدليل</a></p>\n")));
}

struct ProposalForm {
    QString address, description, category, email;
};

Reply proposalPage(const ProposalForm& form, const QString& message, int status = 200) {
    const auto field = [](const char* name, const QString& label, const QString& value,
                          bool leftToRight, qsizetype limit) {
        return QStringLiteral("<label for=\"%1\">%2</label>\n"
                              "<input id=\"%1\" name=\"%1\" value=\"%3\" maxlength=\"%4\"%5>\n")
            .arg(QString::fromLatin1(name), label, value.toHtmlEscaped(), QString::number(limit),
                 leftToRight ? QStringLiteral(" dir=\"ltr\"") : QString());
    };
    QString content = QStringLiteral("<h1>طلب اضافة عنوان</h1>\n");
    if (!message.isEmpty())
        content += QStringLiteral("<p><strong>%1</strong></p>\n").arg(message.toHtmlEscaped());
    content += QStringLiteral("<form method=\"post\" action=\"/links/addLink.asp\" "
                              "accept-charset=\"utf-8\">\n");
    content += field("url", QStringLiteral("عنوان الموقع"), form.address, true, kMaxAddress);
    content += field("title", QStringLiteral("وصف الموقع"), form.description, false, kMaxField);
    content += field("category", QStringLiteral("التصنيف"), form.category, false, kMaxField);
    content +=
        field("email", QStringLiteral("بريدك الالكتروني (اختياري)"), form.email, true, kMaxField);
    content += QStringLiteral("<p><button type=\"submit\">ارسل الاقتراح</button></p>\n</form>\n");
    return Reply::html(page(QStringLiteral("طلب اضافة عنوان"), content), status);
}

Reply proposal(const QHttpServerRequest& request, DataStore& store) {
    if (request.method() != QHttpServerRequest::Method::Post)
        return proposalPage({}, {});
    // A form body: "+" stands for a blank, the rest is percent-encoded UTF-8.
    QByteArray body = request.body();
    body.replace('+', "%20");
    const QUrlQuery query(QString::fromUtf8(body));
    const auto value = [&](const char* key) {
        return query.queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded).trimmed();
    };
    ProposalForm form{value("url"), value("title"), value("category"), value("email")};
    if (form.address.isEmpty() || form.description.isEmpty())
        return proposalPage(form, QStringLiteral("يجب كتابة عنوان الموقع ووصفه."), 400);
    if (form.address.size() > kMaxAddress || form.description.size() > kMaxField ||
        form.category.size() > kMaxField || form.email.size() > kMaxField)
        return proposalPage(form, QStringLiteral("أحد الحقول أطول مما يجب."), 400);
    if (!store.addProposal({form.address, form.description, form.category, form.email,
                            request.remoteAddress().toString()}))
        return Reply::text("Error\n", 500);
    return Reply::html(page(QStringLiteral("شكراً"),
                            QStringLiteral("<h1>شكراً</h1>\n<p>وصلنا اقتراحك، وسننظر فيه "
                                           "قريباً.</p>\n<p><a href=\"/\">الصفحة الرئيسية</a>"
                                           "</p>\n")));
}

} // namespace

bool isBannerId(const QString& id) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    return pattern.match(id).hasMatch();
}

void addSiteRoutes(KorvaloServer& server, const QString& dataDir, DataStore& store) {
    server.route(QStringLiteral("/"), [](const QHttpServerRequest&) { return homePage(); });
    server.route(QStringLiteral("/2/ad/"), [dataDir](const QHttpServerRequest& request) {
        const QUrlQuery query(request.url());
        if (query.hasQueryItem(QStringLiteral("id")))
            return bannerPage(dataDir, query.queryItemValue(QStringLiteral("id")))
                .value_or(Reply::notFound());
        return bannerList(dataDir);
    });
    server.routePrefix(QStringLiteral("/2/ad/"),
                       [dataDir](const QHttpServerRequest&, const QString& rest) {
                           return bannerPicture(dataDir, rest);
                       });
    server.route(QStringLiteral("/2/usercount/"), [&store](const QHttpServerRequest&) {
        return noCache(store.countInstallation() ? Reply::text("Ok") : Reply::text("Error\n", 500));
    });
    server.route(QStringLiteral("/2/usercount/users.txt"), [&store](const QHttpServerRequest&) {
        const auto count = store.installations();
        return noCache(count ? Reply::text(QByteArray::number(static_cast<qlonglong>(*count)))
                             : Reply::text("Error\n", 500));
    });
    server.route(
        QStringLiteral("/links/addLink.asp"),
        [&store](const QHttpServerRequest& request) { return proposal(request, store); }, true);
}

} // namespace korvalo::server
