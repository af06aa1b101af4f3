// Draws Korvalo's window artwork as lossless PNG. make-artwork.sh encodes the
// pictures as JPEG and GIF; the outputs are committed under resources/.
#include "AppIcon.h"
#include "AssistantArtwork.h"
#include "DialogArtwork.h"
#include "MainBackground.h"
#include "SplashArtwork.h"
#include "ToolbarLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

using namespace korvalo::art;

namespace {

bool save(const QImage& image, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        std::fprintf(stderr, "korvalo_artwork: cannot create the folder of %s\n", qPrintable(path));
        return false;
    }
    QImageWriter writer(path);
    if (!writer.write(image)) {
        std::fprintf(stderr, "korvalo_artwork: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

// A lit picture whose outer ring differs from the resting background would show
// a seam around the button when laid over the window.
bool edgesMatch(const QImage& background, const QImage& lit, const QRect& at) {
    for (int y = 0; y < at.height(); ++y) {
        for (int x = 0; x < at.width(); ++x) {
            const bool edge = y == 0 || x == 0 || y == at.height() - 1 || x == at.width() - 1;
            if (edge && lit.pixel(x, y) != background.pixel(at.x() + x, at.y() + y))
                return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // The artwork never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr,
                     "usage: korvalo_artwork OUTPUT_DIR\n"
                     "  draws every picture as PNG under OUTPUT_DIR/artwork and the icon theme\n"
                     "  under OUTPUT_DIR/icons; make-artwork.sh encodes the pictures as JPEG\n"
                     "  and GIF into resources/artwork and copies the icons to resources/icons\n");
        return 2;
    }
    const QString artwork = args.at(1) + QStringLiteral("/artwork/");
    bool ok = true;

    const MainBackground main;
    const QImage background = main.render();
    ok &= save(background, artwork + QStringLiteral("background.png"));

    const auto& buttons = toolbarButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const QImage lit = main.litPicture(static_cast<int>(i));
        if (!edgesMatch(background, lit, buttons[i].lit)) {
            std::fprintf(stderr, "korvalo_artwork: lit %s spills over its edges\n",
                         qPrintable(buttons[i].name));
            ok = false;
        }
        ok &= save(lit,
                   artwork + QStringLiteral("toolbar/") + buttons[i].name + QStringLiteral(".png"));
    }

    const DialogArtwork dialogs;
    ok &= save(dialogs.message(), artwork + QStringLiteral("message.png"));
    ok &= save(dialogs.password(), artwork + QStringLiteral("password.png"));
    ok &= save(dialogs.trayNotice(), artwork + QStringLiteral("tray-notice.png"));

    const AssistantArtwork assistant;
    for (int pose = 1; pose <= AssistantArtwork::kPoses; ++pose)
        ok &= save(assistant.character(pose),
                   artwork + QStringLiteral("assistant/Art%1.png").arg(pose));
    ok &= save(assistant.tail(), artwork + QStringLiteral("assistant/tail.png"));
    ok &= save(SplashArtwork().render(), artwork + QStringLiteral("splash.png"));

    // The window and the tray show the 64-pixel icon; the desktop's icon theme
    // gets every size and the scalable drawing.
    const AppIcon icon;
    ok &= save(icon.render(AppIcon::kDesignSize), artwork + QStringLiteral("korvalo-icon.png"));
    const QString theme = args.at(1) + QStringLiteral("/icons/hicolor/");
    for (const int size : AppIcon::themeSizes())
        ok &= save(icon.render(size), theme + QStringLiteral("%1x%1/apps/korvalo.png").arg(size));
    if (!QDir().mkpath(theme + QStringLiteral("scalable/apps")) ||
        !icon.writeSvg(theme + QStringLiteral("scalable/apps/korvalo.svg"))) {
        std::fprintf(stderr, "korvalo_artwork: cannot write the scalable icon\n");
        ok = false;
    }

    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
