#include "render/qt_text.h"

#include <QTest>

using namespace takton::gui;

class QtTextTest : public QObject {
    Q_OBJECT
  private slots:
    void convertsAtTheBoundary() {
        QCOMPARE(FromCp1252("S\xFC"
                            "d \x80"),
                 QStringLiteral("Süd €"));
        QCOMPARE(ToCp1252Lossy(QStringLiteral("Łódź")), std::string("?\xF3"
                                                                    "d?"));
        QVERIFY(!ToCp1252(QStringLiteral("Łódź")).has_value());
        QCOMPARE(*ToCp1252(QStringLiteral("Straße")), std::string("Stra\xDF"
                                                                  "e"));
        QCOMPARE(FromNativePath(ToNativePath(QStringLiteral("/tmp/Netz Süd.zpr"))),
                 QStringLiteral("/tmp/Netz Süd.zpr"));
    }
};

QTEST_GUILESS_MAIN(QtTextTest)
#include "test_qt_text.moc"
