#include "mainwindow/AssistantExplanations.h"

#include "mainwindow/AssistantMode.h"

namespace korvalo {

namespace {

using Order = AssistantMode::Order;
using Trigger = AssistantMode::Trigger;

struct Text {
    const char* title;
    const char* lines[7]; // the lines not given stay empty
};

struct Entry {
    const char* control;
    Trigger trigger;
    Order order;
    Text text;
};

// The texts are the assistant's words, character for character: blanks at
// the ends and the spelling included.
const Text kSites = {
    "مواقع",
    {"في هذه الشاشة يتم عرض المواقع مفهرسة", "حسب الموضوع",
     "ويمكنك الضغط على زر الفأرة الايسر لاستعراض", "الخدمات التالية 1-فتح الموقع 2-ارسل عنوان",
     " الموقع الى المفضلة - مفضلة المتصفح - الحافضة", "أو الى صديق,كذلك امكانية الحذف أو التعديل"}};
const Text kFavorites = {
    "المفضلة",
    {"ا- فتح كل المواقع الموجودة في المفضلة", "ب- فتح المواقع المحددة فقط حيث يمكنك اختيار",
     "زر الفأرة الايسر + Ctrlالمواقع بزر", "ج- لمسح كل المواقع المسجلة في المفضلة",
     "د-يسمح المؤقت بفتح كل المواقع", "بفارق زمني بين كل موقع تحددة انت"}};
const Text kSiteList = {
    "العناوين",
    {"يمكنك فتح الموقع باضغط المزدوج ابو بضغط ", "زر الفارةالايمن واستعراض العديد من الخدمات",
     "1-فتح الموقع 2-ارسل عنوان الموقع الى", "المفضلة 3- ارسل عنوان الموقع الى مفضلة",
     "المتصفح 4- ارسل عنوان الموقع الىالحافضة", "5- ارسل عنوان الموقع الى صديق بواسطة البريد",
     "6- تعديل بيانات الموقع 7- حذف موقع"}};

const Entry kEntries[] = {
    // The toolbar: the panel switches come first, the options explain before
    // switching, the contact and about buttons only explain.
    {"Show_Image2", Trigger::Click, Order::ActThenExplain, kSites},
    {"Favorites_Image2", Trigger::Click, Order::ActThenExplain, kFavorites},
    {"Favorites_Ie_Image2",
     Trigger::Click,
     Order::ActThenExplain,
     {"مفضلة المتصفح",
      {"يتم في هذه الشاشة عرض المواقع الموجودة في مفضلة", "المتصفح لديك",
       "حيث يمكنك اضافة موقع أو اكثرالى البرنامج", "ولتحديد اكثر من موقع استخدم  زر الفأرة الايسر",
       "+Ctrl"}}},
    {"Add_Image2",
     Trigger::Click,
     Order::ActThenExplain,
     {"اضافة",
      {"يمكنك اضافة موقع او اضافة موضوع", "مع امكانية حذف المواضيع المدخلة من", "المستخدم فقط"}}},
    {"Search_Image2",
     Trigger::Click,
     Order::ActThenExplain,
     {"بحث",
      {"هذة شاشة البحث تحتوي على محرك بحث قوي", "جداً وسريع بحيث يمكنك كتابة اي كلمة او",
       "جملة واختيار مجال البحث هل يبحث فـي", "العنوان ام في وصف العنوان"}}},
    {"Email_Image2",
     Trigger::Click,
     Order::ExplainThenAct,
     {"خصائص",
      {"من شاشة خصاص يمكنك تحديد ", "ا- المتصفح الذي تريد البرنامج ان يستخدمة",
       "ب- موقع مفضلة المتصفح", "ج- وضع كلمة سر للبرنامج"}}},
    {"Option_Image2",
     Trigger::Click,
     Order::ExplainOnly,
     {"تواصل",
      {"من هذا الاختيار يمكنك", "ا- مراسلتنابإرسال ملاحضاتك واقتراحاتك",
       "ب- طلب اضافة عنوان - حيث يمكنك ارسال ", "العناوين التي ترغب باضافتها الى البرنامج",
       "ج- اخبرصديقك - يمكنك اخبار اي صديق لك ", "عن البرنامج"}}},
    {"About_Image2",
     Trigger::Click,
     Order::ExplainOnly,
     {"حول", {"لعرض شاشة حول البرنامج ومميزاتة"}}},

    // The browse list: a click selects as ever, a double click opens nothing.
    {"ListView1", Trigger::Click, Order::ActThenExplain, kSiteList},
    {"ListView1", Trigger::DoubleClick, Order::ExplainOnly, kSiteList},

    // The favourites panel.
    {"TrackBar1",
     Trigger::Change,
     Order::ExplainOnly,
     {"المفضلة", {"يسمح المؤقت بفتح كل المواقع", "بفارق زمني بين كل موقع تحددة انت"}}},
    {"Button1", Trigger::Click, Order::ExplainOnly, kFavorites},
    {"Button3",
     Trigger::Click,
     Order::ExplainOnly,
     {"المفضلة",
      {"فتح المواقع المحددة فقط حيث يمكنك اختيار", "زر الفأرة الايسر + Ctrlالمواقع بزر"}}},
    {"Button7",
     Trigger::Click,
     Order::ExplainOnly,
     {"نقل مواقع الى مفضلة المتصفح",
      {"يمكنك اختيار ما تريد من المواقع", "زر الفأرة الايسر + Ctrl بزر",
       "ليتم نقلها الى قائمة المفضلة في المتصفح", "Internet Explorer"}}},
    {"Button4",
     Trigger::Click,
     Order::ExplainOnly,
     {"المفضلة", {"مسح كل المواقع المسجلة في المفضلة"}}},

    // The browser-favourites panel.
    {"BitBtnWithColor12",
     Trigger::Click,
     Order::ExplainOnly,
     {"تحــديث", {"لاعادة عرض وتحديث المواقع الموجودة في ", "مفضلة المتصفح"}}},
    {"BitBtn10",
     Trigger::Click,
     Order::ExplainOnly,
     {"اضافة المواقع المحددة الى البرنامج",
      {"يمكنك عزيزي المستخدم تحديد المواقع التي ", "ترغب باضافتها الى البرنامج ثم تنقر على ",
       "هذا الزر"}}},
    {"BitBtnWithColor10",
     Trigger::Click,
     Order::ExplainOnly,
     {"تحديد كلي",
      {"عند النقر على هذا الزر يتم عمل اختيار", "لجميع المواقع حيث يمكنك اضافتها الى البرنامج"}}},

    // The web search button and the status strip's address.
    {"Image4",
     Trigger::Click,
     Order::ExplainOnly,
     {"ابحث في الشبكة",
      {"يمكنك كتابة أي كلمة أو جملة والبحث", "عنها مع تحديد محرك البحث الذي ترغب ",
       "البحث من خلاله"}}},
    {"Ip_Label", Trigger::Click, Order::ActThenExplain, {"IP", {"هنا يتم اظهار رقم الايبي "}}},

    // The maintenance buttons, shown once the access code is given.
    {"Button12",
     Trigger::Click,
     Order::ExplainOnly,
     {"فتح", {"لفتح قاعدة بيانات (دليل) موجودة مسبقاً"}}},
    {"Button13",
     Trigger::Click,
     Order::ExplainOnly,
     {"جديد", {"لانشاء قاعدة بيانات (دليل) جديدة وفارغة"}}},
};

} // namespace

void addAssistantExplanations(AssistantMode& mode, const Explain& explain) {
    for (const Entry& e : kEntries) {
        QStringList lines;
        for (const char* line : e.text.lines)
            lines << QString::fromUtf8(line ? line : "");
        mode.add(
            QString::fromLatin1(e.control), e.trigger, e.order,
            [explain, title = QString::fromUtf8(e.text.title), lines] { explain(title, lines); });
    }
}

} // namespace korvalo
