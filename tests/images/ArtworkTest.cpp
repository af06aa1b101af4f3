#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

// The resources live in a static library; nothing references them until
// someone asks, so the test registers them itself.
static void registerArtwork() {
    Q_INIT_RESOURCE(korvalo);
}

namespace korvalo {
namespace {

struct Picture {
    const char* path;
    const char* format;
    QSize size;
};

// Where the window lays each lit picture over its background.
struct LitPicture {
    const char* name;
    QPoint at;
    QSize size;
};

const std::vector<LitPicture> kLitPictures = {
    {"Show", {729, 18}, {51, 47}},         {"Favorites", {660, 17}, {51, 46}},
    {"Favorites_Ie", {589, 18}, {52, 46}}, {"Add", {505, 16}, {54, 47}},
    {"Search", {428, 17}, {51, 51}},       {"Email", {340, 17}, {59, 49}},
    {"Option", {268, 16}, {53, 48}},       {"Help", {198, 16}, {49, 46}},
    {"About", {133, 16}, {44, 47}},
};

QString litPath(const LitPicture& lit) {
    return QStringLiteral(":/artwork/toolbar/") + QString::fromLatin1(lit.name) +
           QStringLiteral(".jpg");
}

QImage load(const QString& path, QByteArray* format = nullptr) {
    QImageReader reader(path);
    if (format)
        *format = reader.format();
    return reader.read();
}

class ArtworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerArtwork(); }
};

// A missing or mis-sized picture shows as a blank window or a lit button that
// does not line up with its hot zone.
TEST_F(ArtworkTest, everyPictureLoadsInItsFormatAndSize) {
    std::vector<Picture> pictures = {
        {":/artwork/background.jpg", "jpeg", {792, 540}},
        {":/artwork/message.gif", "gif", {300, 139}},
        {":/artwork/password.gif", "gif", {251, 100}},
        {":/artwork/tray-notice.gif", "gif", {99, 40}},
        {":/artwork/korvalo-icon.png", "png", {64, 64}},
        {":/artwork/splash.jpg", "jpeg", {400, 201}},
        {":/artwork/assistant/tail.gif", "gif", {24, 25}},
        {":/artwork/assistant/Art1.gif", "gif", {81, 71}},
        {":/artwork/assistant/Art2.gif", "gif", {81, 71}},
        {":/artwork/assistant/Art3.gif", "gif", {81, 71}},
        {":/artwork/assistant/Art4.gif", "gif", {81, 71}},
        {":/artwork/assistant/Art5.gif", "gif", {81, 71}},
        {":/artwork/assistant/Art6.gif", "gif", {81, 71}},
        {":/artwork/assistant/Art7.gif", "gif", {81, 71}},
    };
    for (const Picture& picture : pictures) {
        QByteArray format;
        const QImage image = load(QString::fromLatin1(picture.path), &format);
        EXPECT_FALSE(image.isNull()) << picture.path;
        EXPECT_EQ(format, QByteArray(picture.format)) << picture.path;
        EXPECT_EQ(image.size(), picture.size) << picture.path;
    }
    for (const LitPicture& lit : kLitPictures) {
        QByteArray format;
        const QImage image = load(litPath(lit), &format);
        EXPECT_FALSE(image.isNull()) << lit.name;
        EXPECT_EQ(format, QByteArray("jpeg")) << lit.name;
        EXPECT_EQ(image.size(), lit.size) << lit.name;
    }
    EXPECT_TRUE(load(QStringLiteral(":/artwork/korvalo-icon.png")).hasAlphaChannel());
}

// Each lit picture is cut from the same drawing as the background: its outer
// ring must match the background at its place, or a seam (or a shifted
// button) shows when the mouse enters the hot zone.
TEST_F(ArtworkTest, litPicturesBlendIntoTheBackgroundAtTheirPlace) {
    const QImage background = load(QStringLiteral(":/artwork/background.jpg"));
    ASSERT_FALSE(background.isNull());
    for (const LitPicture& lit : kLitPictures) {
        const QImage image = load(litPath(lit));
        ASSERT_EQ(image.size(), lit.size) << lit.name;
        long difference = 0;
        long pixels = 0;
        long inside = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb a = image.pixel(x, y);
                const QRgb b = background.pixel(lit.at.x() + x, lit.at.y() + y);
                const int d = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b));
                const bool edge =
                    x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1;
                if (edge) {
                    difference += d;
                    ++pixels;
                } else {
                    inside += d;
                }
            }
        }
        // JPEG leaves about 2 levels per channel (sum 4 to 7); a picture cut from
        // another place, or another button's picture, differs by 15 and more.
        EXPECT_LT(difference / pixels, 10) << lit.name << " does not match its surroundings";
        // And the lit picture must actually look different from the resting button.
        EXPECT_GT(inside / (image.width() * image.height()), 10) << lit.name << " is not lit";
    }
}

} // namespace
} // namespace korvalo
