#pragma once

#include "online/BannerList.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <array>

class QIODevice;
class QLabel;
class QTimer;
class QWidget;

namespace korvalo {

class BannerPicture;
class PanelHost;
class SettingsStore;
class TCustomHTTPClient;
class THTTPClient;
class TOnlineIP;
struct ProgramState;

// The banners from the maker's server and the count of the program's users,
// on the main window: five pictures in a row under the toolbar and a line in
// the status strip. The server's list names the banners; their identifiers
// are kept in the settings (I1 to I5) and their pictures as files in one
// folder, so a picture is fetched only once and the last banners show again
// when the server cannot be reached. Everything is silent: a failure leaves
// the strip as it was.
class BannerStrip : public QObject {
    Q_OBJECT
public:
    // The banners, right to left, in the window's coordinates.
    static constexpr std::array<QRect, kBannerSlots> kBannerGeometry{
        QRect(501, 119, 100, 50), QRect(395, 119, 100, 50), QRect(289, 119, 100, 50),
        QRect(184, 119, 100, 50), QRect(78, 119, 100, 50)};
    static constexpr QRect kCountGeometry{264, 525, 161, 13};
    // Five hours between two fetches of the list while online.
    static constexpr int64_t kListIntervalMs = 18'000'000;

    // The controls go onto window; state gives the first-run marker as read
    // at start-up, host opens the banner pages.
    BannerStrip(PanelHost& host, const ProgramState& state, SettingsStore& settings,
                QWidget* window);
    ~BannerStrip() override;

    // Where the pictures are kept; empty: defaultBannerFolder().
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }
    // The watcher whose changes to online start the requests and whose
    // state the timer consults.
    void setOnlineWatcher(TOnlineIP* watcher);

    // The address a click on slot (0 to 4) opens; empty until it is shown.
    QString clickAddress(int slot) const { return slots_[slot].clickAddress; }
    // The identifier slot last read from the settings.
    QString identifier(int slot) const { return slots_[slot].id; }

    BannerPicture* Ban1;
    BannerPicture* Ban2;
    BannerPicture* Ban3;
    BannerPicture* Ban4;
    BannerPicture* Ban5;
    QLabel* Count_Users;
    THTTPClient* HTTP1; // the banner list
    THTTPClient* HTTP2; // the user count
    THTTPClient* HTTP3; // counts this installation, on its first run
    THTTPClient* HTTPBan1;
    THTTPClient* HTTPBan2;
    THTTPClient* HTTPBan3;
    THTTPClient* HTTPBan4;
    THTTPClient* HTTPBan5;
    QTimer* Baner_Timer;

public Q_SLOTS:
    // The online services of a change of the watcher: when it is now
    // online, the banner list and then the user count.
    void OnlineIP1Changed();
    void Baner_TimerTimer();
    // Asks for the banner list, unless the last request is still running.
    void StartBannerList();
    // Asks for the count; on the installation's first run it first asks the
    // server to count it (both at once).
    void StartUserCounter();

    void HTTP1Done(TCustomHTTPClient* Sender, const QString& ContentType, qint64 FileSize,
                   QIODevice* Stream);
    void HTTP1AnyError(TCustomHTTPClient* Sender);
    // A picture download of slot (0 to 4) has ended.
    void HTTPBanDone(int slot, QIODevice* Stream);
    void HTTPBanAnyError(int slot);
    void HTTP2Done(TCustomHTTPClient* Sender, const QString& ContentType, qint64 FileSize,
                   QIODevice* Stream);
    void BanClick(int slot);

private:
    struct Slot {
        BannerPicture* banner = nullptr;
        THTTPClient* download = nullptr;
        QString id;
        QString clickAddress;
        // The download in flight: whose picture it fetches, and the file it
        // is written to until it is known to be whole.
        QString downloadId;
        QString partFile;
    };

    // Reads the slot's identifier back from the settings.
    void readIdentifier(int slot);
    // Shows the slot from its file. A file that is no picture is removed,
    // so that it is fetched again; false then.
    bool showSlot(int slot);
    void download(int slot);
    void dropPartFile(Slot& s);

    PanelHost& host_;
    const ProgramState& state_;
    SettingsStore& settings_;
    TOnlineIP* watcher_ = nullptr;
    QString folder_;
    std::array<Slot, kBannerSlots> slots_;
};

} // namespace korvalo
