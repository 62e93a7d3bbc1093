// ShowTips: the converter starts it shortly after its window opens, in the converter's
// working folder (which holds the skin and the icon), while the marker file show.flg
// is in the user's config folder.
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QIcon>

#include "StartupFlag.h"
#include "TipsLook.h"
#include "TipsWindow.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    discforge::tips::UseTipsLook();
    QApplication::setWindowIcon(QIcon(QDir::current().filePath(QStringLiteral("ferrowick-discforge.png"))));
    // A different tip each day.
    discforge::tips::TipsWindow window(discforge::tips::MarkerPath(), QDate::currentDate().dayOfYear());
    window.show();
    return application.exec();
}
