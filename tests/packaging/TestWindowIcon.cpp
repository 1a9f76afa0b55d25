#include "MainWindowBuilder.h"

#include <QIcon>
#include <QTemporaryDir>
#include <QTest>

using namespace veltran;

class TestWindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowTakesTheInstalledIconAtEverySize();
    void windowDrawsItsIconWhenNoneIsInstalled();
};

void TestWindowIcon::initTestCase()
{
    // The offscreen platform names no icon theme; every desktop theme falls back to hicolor.
    QIcon::setThemeName(QStringLiteral("hicolor"));
}

void TestWindowIcon::windowTakesTheInstalledIconAtEverySize()
{
    QIcon::setThemeSearchPaths({QStringLiteral(VELTRAN_ICON_THEME_DIR)});
    const QIcon icon = MainWindowIcon();
    QCOMPARE(icon.name(), QStringLiteral("veltran"));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // The drawing's tile fills the middle; its corners are rounded off and clear.
        QCOMPARE(image.pixelColor(size / 2, size / 4).alpha(), 255);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    }
}

void TestWindowIcon::windowDrawsItsIconWhenNoneIsInstalled()
{
    QTemporaryDir empty;
    QIcon::setThemeSearchPaths({empty.path()});
    const QIcon icon = MainWindowIcon();
    QVERIFY(icon.name().isEmpty());
    QVERIFY(!icon.pixmap(32).isNull());
}

QTEST_MAIN(TestWindowIcon)
#include "TestWindowIcon.moc"
