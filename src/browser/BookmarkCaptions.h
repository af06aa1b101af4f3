#pragma once

// The captions of the bookmark menus' top items, one per source, in the
// order the menus show them, and of the folders the readers make up for a
// browser's own bookmark roots.
namespace korvalo::bookmarkCaptions {

inline constexpr char16_t kInternetExplorer[] = u"مفضلة انترنت اكسبلورر";
inline constexpr char16_t kNavigator[] = u"Navigator Bookmarks";
inline constexpr char16_t kCommunicator[] = u"Communicator Users Bookmarks";
inline constexpr char16_t kOpera[] = u"مفضلة اوبيرا";

inline constexpr char16_t kFirefox[] = u"مفضلة فايرفوكس";
inline constexpr char16_t kChromium[] = u"مفضلة كروميوم";
inline constexpr char16_t kChrome[] = u"مفضلة جوجل كروم";
inline constexpr char16_t kBrave[] = u"مفضلة بريف";
inline constexpr char16_t kVivaldi[] = u"مفضلة فيفالدي";
inline constexpr char16_t kEdge[] = u"مفضلة مايكروسوفت إيدج";
inline constexpr char16_t kOperaChromium[] = u"مفضلة أوبرا الحديثة";
inline constexpr char16_t kExportedFiles[] = u"ملفات مفضلة مصدرة";

// A browser's roots.
inline constexpr char16_t kToolbar[] = u"شريط المفضلة";
inline constexpr char16_t kMenu[] = u"قائمة المفضلة";
inline constexpr char16_t kOther[] = u"مفضلة أخرى";
inline constexpr char16_t kMobile[] = u"مفضلة الجوال";

} // namespace korvalo::bookmarkCaptions
