// render-artwork SOURCE_DIR: renders the SVG artwork in resources/icons/ to the
// PNG files the app and the desktop use (icon sizes, the About box's picture).
// Run by the `artwork` target when the artwork changes; its output is committed.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool render(const QString& svg, const QString& png, QSize size) {
    QSvgRenderer renderer(svg);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    bool saved = renderer.isValid() && image.save(png);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(png));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("Usage: render-artwork SOURCE_DIR\n", stderr);
        return 2;
    }
    QString icons = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/resources/icons/");
    bool ok = render(icons + "about-picture.svg", icons + "about-picture.png", QSize(146, 20));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        ok &= render(icons + "tabulon.svg", icons + QStringLiteral("tabulon-%1.png").arg(size),
                     QSize(size, size));
    }
    return ok ? 0 : 1;
}
