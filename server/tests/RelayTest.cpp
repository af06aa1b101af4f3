#include "ServerHarness.h"

#include <QByteArray>
#include <QString>

#include <iconv.h>

#include <atomic>
#include <mutex>

using namespace serverharness;

namespace {

std::string enc(const std::string& value) {
    return QByteArray::fromStdString(value).toPercentEncoding().toStdString();
}

struct Relayed {
    std::string FromName, FromEmail, Subject, Body, ToEmail;
};

std::string relayQuery(const Relayed& m) {
    return "/2/sendmail/sendmail.asp?FromName=" + enc(m.FromName) +
           "&FromEmail=" + enc(m.FromEmail) + "&Subject=" + enc(m.Subject) +
           "&Body=" + enc(m.Body) + "&ToEmail=" + enc(m.ToEmail);
}

std::string toCp1256(const std::string& utf8) {
    iconv_t cd = iconv_open("WINDOWS-1256", "UTF-8");
    std::string in = utf8, out(utf8.size(), '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

// One delivered message: its header lines unfolded, RFC 2047 words decoded,
// and its body decoded from base64.
struct Mail {
    std::string rawHead;
    std::map<std::string, std::string> headers;
    std::string body;
};

std::string decodeWords(std::string value) {
    std::string out;
    size_t at = 0;
    while ((at = value.find("=?UTF-8?B?")) != std::string::npos) {
        out += value.substr(0, at);
        const size_t end = value.find("?=", at + 10);
        out +=
            QByteArray::fromBase64(QByteArray::fromStdString(value.substr(at + 10, end - at - 10)))
                .toStdString();
        value = value.substr(end + 2);
        // Blanks between two encoded words are folding, not text.
        if (value.rfind(" =?UTF-8?B?", 0) == 0)
            value.erase(0, 1);
    }
    return out + value;
}

std::vector<Mail> delivered(const fs::path& data) {
    std::vector<Mail> mails;
    if (!fs::is_directory(data / "mail/new"))
        return mails;
    for (const auto& entry : fs::directory_iterator(data / "mail/new")) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), {});
        Mail m;
        const size_t split = text.find("\n\n");
        m.rawHead = text.substr(0, split);
        size_t pos = 0;
        std::string name;
        while (pos < m.rawHead.size()) {
            size_t end = m.rawHead.find('\n', pos);
            if (end == std::string::npos)
                end = m.rawHead.size();
            const std::string line = m.rawHead.substr(pos, end - pos);
            if (line[0] == ' ')
                m.headers[name] += line;
            else {
                name = line.substr(0, line.find(':'));
                m.headers[name] = line.substr(line.find(':') + 2);
            }
            pos = end + 1;
        }
        for (auto& [key, value] : m.headers)
            value = decodeWords(value);
        m.body =
            QByteArray::fromBase64(QByteArray::fromStdString(text.substr(split + 2))).toStdString();
        mails.push_back(std::move(m));
    }
    return mails;
}

} // namespace

TEST(RelayTest, deliversEveryValueIntactIntoTheMaildir) {
    Served s;
    s.start();
    std::string longBody;
    for (int i = 0; i < 790; ++i)
        longBody += "\xD8\xA8"; // "ب" in UTF-8: 800 characters in all
    longBody += "\r\na&b=c#d  ";
    const Relayed m{toCp1256("علي & co"), "sender@example.com", "سلام #1 = 100%", longBody,
                    "friend@example.org"};
    const Response r = request(s.url(relayQuery(m)));
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "Ok");
    EXPECT_EQ(r.headers.at("cache-control"), "no-store");

    const std::vector<Mail> mails = delivered(s.data.path);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_TRUE(fs::is_empty(s.data.path / "mail/tmp"));
    EXPECT_EQ(mails[0].headers.at("From"), "علي & co <sender@example.com>");
    EXPECT_EQ(mails[0].headers.at("To"), "<friend@example.org>");
    EXPECT_EQ(mails[0].headers.at("Subject"), "سلام #1 = 100%");
    EXPECT_EQ(mails[0].body, longBody);
}

TEST(RelayTest, refusesBadSendersRecipientListsAndMailForNobody) {
    Served s;
    s.start();
    const Relayed good{"Ali", "ali@example.com", "Hi", "text", "friend@example.org"};
    std::vector<Relayed> bad(6, good);
    bad[0].FromEmail = "name.example";
    bad[1].FromEmail = "";
    bad[2].ToEmail = "a@example.org, b@example.org";
    bad[3].ToEmail = "a@example.org;b@example.org";
    bad[4].ToEmail = "Friend <a@example.org>";
    bad[5].ToEmail = ""; // no maker's address to send it to
    for (const Relayed& m : bad)
        EXPECT_NE(request(s.url(relayQuery(m))).body, "Ok") << m.FromEmail << " to " << m.ToEmail;
    EXPECT_NE(request(s.url(relayQuery(good) + "&ToEmail=other%40example.org")).body, "Ok")
        << "a second recipient key";
    EXPECT_TRUE(delivered(s.data.path).empty());
    EXPECT_EQ(s.process->stop().status, 0);

    s.options = {"--maker-mail", "maker@korvalo.example"};
    s.start();
    EXPECT_EQ(request(s.url(relayQuery(bad[5]))).body, "Ok");
    const std::vector<Mail> mails = delivered(s.data.path);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].headers.at("To"), "<maker@korvalo.example>");
}

TEST(RelayTest, noValueCanAddAHeader) {
    Served s;
    s.start();
    const std::string inject = "\r\nBcc: victim@example.net\r\n";
    Relayed m{"Ali" + inject, "ali@example.com", "Hi" + inject, "text" + inject + "\r\nmore",
              "friend@example.org"};
    Relayed badFrom = m, badTo = m;
    badFrom.FromEmail += inject;
    badTo.ToEmail += inject;
    EXPECT_NE(request(s.url(relayQuery(badFrom))).body, "Ok");
    EXPECT_NE(request(s.url(relayQuery(badTo))).body, "Ok");
    EXPECT_EQ(request(s.url(relayQuery(m))).body, "Ok");

    const std::vector<Mail> mails = delivered(s.data.path);
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].rawHead.find("victim"), std::string::npos) << mails[0].rawHead;
    EXPECT_EQ(mails[0].headers.count("Bcc"), 0u);
    EXPECT_EQ(mails[0].headers.at("Subject"), "Hi Bcc: victim@example.net ");
    EXPECT_EQ(mails[0].body, m.Body) << "the body carries it as text";
}

TEST(RelayTest, limitsTheRateOfEachClientOfTheRelayAlone) {
    Served s;
    s.start();
    const Relayed m{"Ali", "ali@example.com", "Hi", "text", "friend@example.org"};
    const std::vector<std::string> one{"X-Forwarded-For: 198.51.100.7"};
    const std::vector<std::string> other{"X-Forwarded-For: 10.0.0.1, 198.51.100.8"};
    int passed = 0;
    for (int i = 0; i < 25; ++i)
        passed += request(s.url(relayQuery(m)), {}, false, one).body == "Ok";
    EXPECT_EQ(passed, 20);
    const Response refused = request(s.url(relayQuery(m)), {}, false, one);
    EXPECT_EQ(refused.status, 429);
    EXPECT_EQ(request(s.url(relayQuery(m)), {}, false, other).body, "Ok") << "another client";
    EXPECT_EQ(request(s.url("/2/usercount/users.txt"), {}, false, one).status, 200);
    EXPECT_EQ(delivered(s.data.path).size(), 21u);
}

namespace {

// An SMTP server on 127.0.0.1 that offers STARTTLS but cannot start TLS,
// accepts every recipient but one and records what it is told.
class SmtpPeer {
public:
    SmtpPeer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 4);
        socklen_t length = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~SmtpPeer() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    std::string url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }
    std::string heard() const {
        std::lock_guard lock(mutex_);
        return heard_;
    }

private:
    void serve() {
        while (!stop_) {
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0)
                return;
            timeval timeout{5, 0};
            ::setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
            converse(c);
            ::close(c);
        }
    }
    void say(int c, const std::string& line) { ::send(c, line.data(), line.size(), MSG_NOSIGNAL); }
    void converse(int c) {
        say(c, "220 peer ESMTP\r\n");
        std::string buffer;
        bool data = false;
        char chunk[4096];
        ssize_t n;
        while ((n = ::recv(c, chunk, sizeof chunk, 0)) > 0) {
            buffer.append(chunk, size_t(n));
            {
                std::lock_guard lock(mutex_);
                heard_.append(chunk, size_t(n));
            }
            size_t end;
            while ((end = buffer.find(data ? "\r\n.\r\n" : "\r\n")) != std::string::npos) {
                const std::string line = buffer.substr(0, end);
                buffer.erase(0, end + (data ? 5 : 2));
                if (data) {
                    data = false;
                    say(c, "250 queued\r\n");
                } else if (line.rfind("EHLO", 0) == 0) {
                    say(c, "250-peer\r\n250-STARTTLS\r\n250 AUTH PLAIN\r\n");
                } else if (line == "STARTTLS") {
                    say(c, "454 TLS not available now\r\n");
                } else if (line.find("nobody@") != std::string::npos) {
                    say(c, "550 no such user\r\n");
                } else if (line == "DATA") {
                    data = true;
                    say(c, "354 go on\r\n");
                } else if (line == "QUIT") {
                    say(c, "221 bye\r\n");
                    return;
                } else {
                    say(c, "250 ok\r\n");
                }
            }
        }
    }

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::string heard_;
};

} // namespace

TEST(RelayTest, handsMailToAnSmtpServerAndNeverLogsInWithoutTls) {
    SmtpPeer peer;
    Served s;
    s.options = {"--smtp", peer.url(), "--maker-mail", "maker@korvalo.example"};
    s.start();
    Relayed m{"Ali", "ali@example.com", "Hi", "hello", "friend@example.org"};
    EXPECT_EQ(request(s.url(relayQuery(m))).body, "Ok");
    const std::string heard = peer.heard();
    EXPECT_LT(heard.find("STARTTLS"), heard.find("MAIL FROM")) << "TLS asked for first";
    EXPECT_NE(heard.find("MAIL FROM:<maker@korvalo.example>"), std::string::npos) << heard;
    EXPECT_NE(heard.find("RCPT TO:<friend@example.org>"), std::string::npos) << heard;
    EXPECT_NE(heard.find("\r\nTo: <friend@example.org>\r\n"), std::string::npos) << heard;
    EXPECT_FALSE(fs::exists(s.data.path / "mail")) << "no maildir when mail goes by SMTP";

    m.ToEmail = "nobody@example.org";
    EXPECT_NE(request(s.url(relayQuery(m))).body, "Ok") << "the SMTP server refused it";
    EXPECT_EQ(s.process->stop().status, 0);

    Served login;
    login.options = {"--smtp", "smtp://user:secret@" + peer.url().substr(7)};
    login.start();
    m.ToEmail = "friend@example.org";
    const size_t before = peer.heard().size();
    EXPECT_NE(request(login.url(relayQuery(m))).body, "Ok");
    const std::string after = peer.heard().substr(before);
    EXPECT_EQ(after.find("AUTH"), std::string::npos) << after;
    EXPECT_EQ(after.find("MAIL FROM"), std::string::npos) << after;
}
