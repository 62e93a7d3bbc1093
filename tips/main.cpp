// ShowTips: the converter starts it shortly after its window opens, in the converter's
// working folder (which holds the skin, the icon and the marker file show.flg), while
// the marker file is there.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QIcon>

#include "TipsLook.h"
#include "TipsWindow.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    discforge::tips::UseTipsLook();
    QApplication::setWindowIcon(QIcon(QDir::current().filePath(QStringLiteral("ferrowick-discforge.png"))));
    // A different tip each day.
    discforge::tips::TipsWindow window(
        QDir::current().filePath(QStringLiteral("show.flg")), QDate::currentDate().dayOfYear());
    window.show();
    return application.exec();
}
