#include "online/ui/BannerStrip.h"

#include "data/ProgramState.h"
#include "data/SettingsStore.h"
#include "mainwindow/PanelHost.h"
#include "online/ServerAddress.h"
#include "online/THTTPClient.h"
#include "online/TOnlineIP.h"
#include "online/ui/BannerPicture.h"
#include "platform/LongTimerInterval.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLabel>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>

namespace korvalo {

namespace {

const settings::Setting* const kSlotSettings[kBannerSlots] = {
    &settings::I1, &settings::I2, &settings::I3, &settings::I4, &settings::I5};

THTTPClient* component(const char* name, QObject* parent) {
    auto* c = new THTTPClient(parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

} // namespace

BannerStrip::BannerStrip(PanelHost& host, const ProgramState& state, SettingsStore& settings,
                         QWidget* window)
    : QObject(window)
    , host_(host)
    , state_(state)
    , settings_(settings)
    , folder_(defaultBannerFolder()) {
    setObjectName(QStringLiteral("BannerStrip"));
    static const char* const bannerNames[kBannerSlots] = {"Ban1", "Ban2", "Ban3", "Ban4", "Ban5"};
    static const char* const downloadNames[kBannerSlots] = {"HTTPBan1", "HTTPBan2", "HTTPBan3",
                                                            "HTTPBan4", "HTTPBan5"};
    for (int k = 0; k < kBannerSlots; ++k) {
        Slot& s = slots_[k];
        s.banner =
            new BannerPicture(QString::fromLatin1(bannerNames[k]), kBannerGeometry[k], window);
        connect(s.banner, &BannerPicture::clicked, this, [this, k] { BanClick(k); });
        s.download = component(downloadNames[k], this);
        connect(s.download, &TCustomHTTPClient::OnDone, this,
                [this, k](TCustomHTTPClient*, const QString&, qint64, QIODevice* stream) {
                    HTTPBanDone(k, stream);
                });
        connect(s.download, &TCustomHTTPClient::OnAnyError, this,
                [this, k](TCustomHTTPClient*) { HTTPBanAnyError(k); });
    }
    Ban1 = slots_[0].banner;
    Ban2 = slots_[1].banner;
    Ban3 = slots_[2].banner;
    Ban4 = slots_[3].banner;
    Ban5 = slots_[4].banner;
    HTTPBan1 = slots_[0].download;
    HTTPBan2 = slots_[1].download;
    HTTPBan3 = slots_[2].download;
    HTTPBan4 = slots_[3].download;
    HTTPBan5 = slots_[4].download;

    Count_Users = new QLabel(window);
    Count_Users->setObjectName(QStringLiteral("Count_Users"));
    Count_Users->setGeometry(kCountGeometry);
    // Right-aligned on the screen, not mirrored by the window's direction.
    Count_Users->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    Count_Users->setStyleSheet(QStringLiteral("color: gray; font-size: 8px;"));

    HTTP1 = component("HTTP1", this);
    HTTP1->setAgent(QStringLiteral("HTTP component"));
    connect(HTTP1, &TCustomHTTPClient::OnDone, this, &BannerStrip::HTTP1Done);
    connect(HTTP1, &TCustomHTTPClient::OnAnyError, this, &BannerStrip::HTTP1AnyError);
    // The count is asked afresh each time, past any cache.
    HTTP2 = component("HTTP2", this);
    HTTP2->setUseCache(false);
    connect(HTTP2, &TCustomHTTPClient::OnDone, this, &BannerStrip::HTTP2Done);
    HTTP3 = component("HTTP3", this);
    HTTP3->setUseCache(false);

    // Runs from start-up to exit; each tick fetches the list while online.
    Baner_Timer = new QTimer(this);
    Baner_Timer->setObjectName(QStringLiteral("Baner_Timer"));
    Baner_Timer->setInterval(longTimerInterval(kListIntervalMs));
    connect(Baner_Timer, &QTimer::timeout, this, &BannerStrip::Baner_TimerTimer);
    Baner_Timer->start();
}

BannerStrip::~BannerStrip() {
    // A download still running ends with its component, without any event;
    // its worker is gone before its part file is removed.
    for (Slot& s : slots_) {
        delete s.download;
        dropPartFile(s);
    }
}

void BannerStrip::setFolder(const QString& folder) {
    folder_ = folder.isEmpty() ? defaultBannerFolder() : folder;
}

void BannerStrip::setOnlineWatcher(TOnlineIP* watcher) {
    if (watcher_)
        disconnect(watcher_, nullptr, this, nullptr);
    watcher_ = watcher;
    if (watcher_)
        connect(watcher_, &TOnlineIP::changed, this, &BannerStrip::OnlineIP1Changed);
}

void BannerStrip::OnlineIP1Changed() {
    if (!watcher_ || !watcher_->Online())
        return;
    StartBannerList();
    StartUserCounter();
}

void BannerStrip::Baner_TimerTimer() {
    if (watcher_ && watcher_->Online())
        StartBannerList();
}

void BannerStrip::StartBannerList() {
    HTTP1->setURL(ServerBaseAddress() + QStringLiteral("/2/ad/"));
    HTTP1->Read();
}

void BannerStrip::StartUserCounter() {
    const QString count = ServerBaseAddress() + QStringLiteral("/2/usercount/users.txt");
    if (state_.firstRunMarker != settings::kFlagSet) {
        HTTP3->setURL(ServerBaseAddress() + QStringLiteral("/2/usercount/"));
        HTTP3->Read();
    }
    HTTP2->setURL(count);
    HTTP2->Read();
}

void BannerStrip::HTTP1Done(TCustomHTTPClient*, const QString&, qint64, QIODevice* Stream) {
    if (!Stream)
        return;
    const std::optional<QStringList> ids = ParseBannerList(Stream->readAll());
    if (!ids)
        return; // "No": the banners shown stay, and so does what is stored
    for (int k = 0; k < kBannerSlots; ++k)
        settings_.WriteSetting(*kSlotSettings[k],
                               k < ids->size() ? slotIdentifier(ids->at(k)) : QString());
    for (int k = 0; k < kBannerSlots; ++k) {
        readIdentifier(k);
        const Slot& s = slots_[k];
        if (s.id.isEmpty())
            continue;
        // A file that turns out to be no picture is gone after showSlot.
        if (!QFileInfo::exists(bannerFile(folder_, s.id)) || !showSlot(k))
            download(k);
    }
}

void BannerStrip::HTTP1AnyError(TCustomHTTPClient*) {
    // The last known banners, from their files; nothing is fetched.
    for (int k = 0; k < kBannerSlots; ++k) {
        readIdentifier(k);
        const Slot& s = slots_[k];
        if (!s.id.isEmpty() && QFileInfo::exists(bannerFile(folder_, s.id)))
            showSlot(k);
    }
}

void BannerStrip::readIdentifier(int slot) {
    slots_[slot].id = slotIdentifier(settings_.ReadSetting(*kSlotSettings[slot]));
}

bool BannerStrip::showSlot(int slot) {
    Slot& s = slots_[slot];
    s.banner->setToolTip(QString::fromUtf8("انقر هنا"));
    const QString file = bannerFile(folder_, s.id);
    if (!s.banner->showFile(file)) {
        QFile::remove(file);
        return false;
    }
    s.banner->setCursor(Qt::PointingHandCursor);
    s.clickAddress = ServerBaseAddress() + QStringLiteral("/2/ad/?id=") + s.id;
    return true;
}

void BannerStrip::download(int slot) {
    Slot& s = slots_[slot];
    if (s.download->Busy())
        return;
    // Written beside its final name and renamed once whole, so that a cut
    // transfer never leaves a file that looks like a picture already there.
    if (!QDir().mkpath(folder_))
        return;
    QTemporaryFile part(folder_ + u'/' + s.id + QStringLiteral(".XXXXXX.part"));
    part.setAutoRemove(false);
    if (!part.open())
        return;
    s.downloadId = s.id;
    s.partFile = part.fileName();
    part.close();
    s.download->setURL(ServerBaseAddress() + QStringLiteral("/2/ad/") + s.id +
                       QStringLiteral(".gif"));
    s.download->setOutputFileName(s.partFile);
    if (!s.download->Read())
        dropPartFile(s);
}

void BannerStrip::dropPartFile(Slot& s) {
    if (!s.partFile.isEmpty())
        QFile::remove(s.partFile);
    s.partFile.clear();
    s.downloadId.clear();
}

void BannerStrip::HTTPBanDone(int slot, QIODevice* Stream) {
    Slot& s = slots_[slot];
    // A body that came without its length stayed in memory: no file. One
    // that is no picture is removed when the slot tries to show it.
    if (!Stream && !s.partFile.isEmpty()) {
        const QString target = bannerFile(folder_, s.downloadId);
        if (std::rename(QFile::encodeName(s.partFile).constData(),
                        QFile::encodeName(target).constData()) == 0)
            s.partFile.clear();
    }
    dropPartFile(s);
    if (!s.id.isEmpty() && QFileInfo::exists(bannerFile(folder_, s.id)))
        showSlot(slot);
}

void BannerStrip::HTTPBanAnyError(int slot) {
    dropPartFile(slots_[slot]);
}

void BannerStrip::HTTP2Done(TCustomHTTPClient*, const QString&, qint64, QIODevice* Stream) {
    if (!Stream)
        return;
    if (const std::optional<QString> count = userCountText(Stream->readAll()))
        Count_Users->setText(QString::fromUtf8("عدد مستخدمى البرنامج: ") + *count);
}

void BannerStrip::BanClick(int slot) {
    if (!slots_[slot].clickAddress.isEmpty())
        host_.openSite(slots_[slot].clickAddress);
}

} // namespace korvalo
