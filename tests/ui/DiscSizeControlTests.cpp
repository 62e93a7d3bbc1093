// The window's disc size: the choice and its MB field where the skin places
// them, the meter that follows the inputs, the disc and the size before anything
// is converted, the choice kept in a project, and a batch too long for its disc
// refused with the meter saying how many discs it needs.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "support/StreamChecks.h"
#include "ui/ResponseTable.h"
#include "ui/TMainWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

std::string LayoutWithDiscSize()
{
    return FullLayout() + "DiscSizeChoice=20,325,100,20;\nDiscSizeField=125,325,44,20;\nDiscMeter=400,375,180,20;\n";
}

// A film of `minutes` made by the ffmpeg tool: one small picture a second and quiet
// MP3 sound keep the file small and quick to make while its length is a real film's.
std::string FilmByFfmpeg(WindowRig& rig, const std::string& name, int minutes)
{
    const std::string path = rig.folder.File(name);
    const std::string seconds = std::to_string(minutes * 60);
    const CommandResult made = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i testsrc=size=64x48:rate=1:duration="
        + seconds + " -f lavfi -i anullsrc=r=8000:cl=mono -t " + seconds
        + " -c:v mjpeg -q:v 31 -c:a libmp3lame -b:a 8k " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

class DiscSizeControl : public ::testing::Test {
protected:
    QComboBox* Choice() { return rig_.Window().findChild<QComboBox*>("discSizeChoice"); }
    QLineEdit* Field() { return rig_.Window().findChild<QLineEdit*>("discSizeField"); }
    QString Meter() { return rig_.Window().findChild<QLabel*>("discMeter")->text(); }

    // As a pick from the open list does it: the line changes, then it is reported.
    void Choose(const QString& line)
    {
        const int index = Choice()->findText(line);
        ASSERT_GE(index, 0) << line.toStdString();
        Choice()->setCurrentIndex(index);
        emit Choice()->activated(index);
        rig_.Settle();
    }
    void TypeMegabytes(const QString& text)
    {
        Field()->setText(text);
        rig_.Command(control::discSizeEdit, ui::notify::focusLost);
        rig_.Settle();
    }
    void Add(const std::string& path)
    {
        rig_.files.mediaAnswers.push_back(path);
        ASSERT_TRUE(rig_.Command(command::addInput));
        rig_.Settle();
    }
    void ChooseDisc(int radio)
    {
        rig_.Window().Controls().SetChecked(radio, true);
        rig_.Command(radio);
        rig_.Settle();
    }

    WindowRig rig_{LayoutWithDiscSize()};
};

// The used part and the capacity the meter reads, in its unit; nothing when it reads otherwise.
struct MeterReading {
    double used = -1;
    double capacity = -1;
    QString unit;
};

MeterReading Read(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9.]+) of ([0-9.]+) (GB|MB)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return {};
    }
    return {match.captured(1).toDouble(), match.captured(2).toDouble(), match.captured(3)};
}

TEST_F(DiscSizeControl, SitsWhereTheSkinPutsItAndStartsWithoutASize)
{
    ASSERT_NE(Choice(), nullptr);
    ASSERT_NE(Field(), nullptr);
    EXPECT_TRUE(Choice()->isVisible());
    EXPECT_EQ(Choice()->geometry(), QRect(20, 325, 100, 20));
    EXPECT_EQ(Field()->geometry(), QRect(125, 325, 44, 20));
    QStringList lines;
    for (int i = 0; i < Choice()->count(); ++i) {
        lines << Choice()->itemText(i);
    }
    EXPECT_EQ(lines, QStringList({"No disc size", "DVD-5", "DVD-9", "CD 74 min", "CD 80 min", "Size in MB"}));
    EXPECT_EQ(Choice()->currentText(), QStringLiteral("No disc size"));
    EXPECT_FALSE(Field()->isEnabled()) << "a size in MB is not chosen";
    EXPECT_TRUE(Meter().isEmpty());
    EXPECT_FALSE(rig_.Core().Settings().discSize.has_value());
}

TEST_F(DiscSizeControl, TheMeterSaysWhenALongDvdBatchTakesTheHalfWidth)
{
    ChooseDisc(control::dvdRadio);
    Add(FilmByFfmpeg(rig_, "film.avi", 60));
    // An hour fills a CD of 74 minutes at 1.45 Mbit/s of video, below the full width's 2.5.
    Choose("CD 74 min");
    EXPECT_EQ(Meter(), QStringLiteral("773 of 773 MB, half width"));
    // On a DVD-5 it has the full width's rate.
    Choose("DVD-5");
    EXPECT_EQ(Read(Meter()).capacity, 4.7) << Meter().toStdString();
}

TEST_F(DiscSizeControl, ASkinWithoutTheKeysKeepsItHidden)
{
    WindowRig plain;
    EXPECT_FALSE(plain.Window().findChild<QComboBox*>("discSizeChoice")->isVisible());
    EXPECT_FALSE(plain.Window().findChild<QLabel*>("discMeter")->isVisible());
}

TEST_F(DiscSizeControl, TheMeterFollowsTheInputsTheDiscAndTheSize)
{
    ChooseDisc(control::dvdRadio);
    Choose("DVD-5");
    // An empty disc shows its capacity and nothing used yet.
    EXPECT_EQ(Meter(), QStringLiteral("0.0 of 4.7 GB"));

    Add(FilmByFfmpeg(rig_, "film.avi", 120));
    // Two hours fill a DVD-5: the batch takes 90 to 100 % of its 4.7 GB.
    MeterReading reading = Read(Meter());
    EXPECT_EQ(reading.unit, QStringLiteral("GB")) << Meter().toStdString();
    EXPECT_DOUBLE_EQ(reading.capacity, 4.7);
    EXPECT_GE(reading.used, 4.2) << Meter().toStdString();
    EXPECT_LE(reading.used, 4.7);

    // On a DVD-9 the rate stops at its ceiling: 8 Mbit/s of video and 192 kbit/s of
    // sound for 7200 s are 7.37 GB, and the multiplex adds a few per cent.
    Choose("DVD-9");
    reading = Read(Meter());
    EXPECT_DOUBLE_EQ(reading.capacity, 8.5) << Meter().toStdString();
    EXPECT_GE(reading.used, 7.3) << Meter().toStdString();
    EXPECT_LE(reading.used, 7.8) << Meter().toStdString();

    // An SVCD of two hours needs two CDs of 80 minutes even at its lowest rate.
    ChooseDisc(control::svcdRadio);
    Choose("CD 80 min");
    EXPECT_EQ(Meter(), QStringLiteral("needs 2 discs"));

    // A size in MB starts from the disc chosen before: a CD of 80 minutes holds 836.64 MB.
    Choose("Size in MB");
    EXPECT_TRUE(Field()->isEnabled());
    EXPECT_EQ(Field()->text(), QStringLiteral("836"));
    EXPECT_EQ(Meter(), QStringLiteral("needs 2 discs"));
    TypeMegabytes(QStringLiteral(" 2000 "));
    ASSERT_TRUE(rig_.Core().Settings().discSize.has_value());
    EXPECT_EQ(rig_.Core().Settings().discSize->megabytes, 2000);
    reading = Read(Meter());
    EXPECT_DOUBLE_EQ(reading.capacity, 2.0) << Meter().toStdString();
    EXPECT_GE(reading.used, 1.8) << Meter().toStdString();

    // A second film of the same length makes the batch twice as long.
    Add(FilmByFfmpeg(rig_, "second.avi", 120));
    EXPECT_EQ(rig_.Core().Inputs().inputCount, 2);
    EXPECT_EQ(Meter(), QStringLiteral("needs 2 discs"));
    TypeMegabytes(QStringLiteral("1000000"));
    EXPECT_EQ(Read(Meter()).capacity, 1000.0) << Meter().toStdString();

    Choose("No disc size");
    EXPECT_TRUE(Meter().isEmpty());
    EXPECT_FALSE(Field()->isEnabled());
    EXPECT_TRUE(rig_.messages.shown.empty());
}

TEST_F(DiscSizeControl, AFieldThatHoldsNoSizeIsRefusedAndShowsTheStoredOne)
{
    Choose("Size in MB");
    EXPECT_EQ(Field()->text(), QStringLiteral("4700")) << "no disc before: a DVD-5 in MB";
    TypeMegabytes(QStringLiteral("700"));
    // An empty batch takes only the disc's own files.
    const MeterReading empty = Read(Meter());
    EXPECT_EQ(empty.unit, QStringLiteral("MB")) << Meter().toStdString();
    EXPECT_DOUBLE_EQ(empty.capacity, 700);
    EXPECT_LE(empty.used, 2);
    for (const char* bad : {"0", "", "seven hundred", "700x", "1000001", "99999999999999999999"}) {
        TypeMegabytes(QString::fromLatin1(bad));
        EXPECT_EQ(Field()->text(), QStringLiteral("700")) << bad;
        EXPECT_EQ(rig_.Core().Settings().discSize->megabytes, 700) << bad;
    }
    ASSERT_EQ(rig_.messages.shown.size(), 6U);
    EXPECT_EQ(rig_.messages.shown[0].text, "The disc size is a whole number of MB, 1 to 1000000.");
    EXPECT_NE(rig_.messages.shown[0].caption.find("Disc size"), std::string::npos);
}

TEST_F(DiscSizeControl, AProjectKeepsTheSizeAndAnOlderOneOpensWithout)
{
    Add(rig_.MakeList("clip.lst", 2));
    Choose("Size in MB");
    TypeMegabytes(QStringLiteral("1234"));
    const std::string sized = rig_.folder.File("sized.mdp");
    ASSERT_TRUE(rig_.Core().SaveProject(sized));
    Choose("No disc size");
    const std::string plain = rig_.folder.File("plain.mdp");
    ASSERT_TRUE(rig_.Core().SaveProject(plain));

    ASSERT_TRUE(rig_.Core().OpenProject(sized));
    rig_.Settle();
    EXPECT_EQ(Choice()->currentText(), QStringLiteral("Size in MB"));
    EXPECT_EQ(Field()->text(), QStringLiteral("1234"));
    EXPECT_TRUE(Field()->isEnabled());
    EXPECT_EQ(Read(Meter()).capacity, 1.2) << Meter().toStdString();

    ASSERT_TRUE(rig_.Core().OpenProject(plain));
    rig_.Settle();
    EXPECT_EQ(Choice()->currentText(), QStringLiteral("No disc size"));
    EXPECT_FALSE(rig_.Core().Settings().discSize.has_value());
    EXPECT_TRUE(Meter().isEmpty());
    EXPECT_FALSE(Field()->isEnabled());

    Choose("DVD-9");
    ASSERT_TRUE(rig_.Core().SaveProject(sized));
    Choose("CD 74 min");
    ASSERT_TRUE(rig_.Core().OpenProject(sized));
    rig_.Settle();
    EXPECT_EQ(Choice()->currentText(), QStringLiteral("DVD-9"));
    EXPECT_TRUE(rig_.messages.shown.empty());
}

TEST_F(DiscSizeControl, ABatchTooLongForItsDiscIsRefusedWithWhatFits)
{
    ChooseDisc(control::dvdRadio);
    Add(FilmByFfmpeg(rig_, "film.avi", 120));
    Choose("CD 74 min");
    // 773.9 MB at the half width's 1.25 Mbit/s of video and 192 kbit/s of sound hold
    // about 71 minutes, a little less with the multiplex's share: two hours need two such discs.
    EXPECT_EQ(Meter(), QStringLiteral("needs 2 discs"));
    const std::string output = rig_.Core().Inputs().inputTable[0].outputPath;
    rig_.Command(control::startConversion);
    rig_.Settle();
    ASSERT_EQ(rig_.messages.shown.size(), 1U);
    const std::string& text = rig_.messages.shown[0].text;
    EXPECT_NE(rig_.messages.shown[0].caption.find("Disc size"), std::string::npos);
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^at most ([0-9]+) minutes on CD 74 min at this quality; the batch has 120$"))
              .match(QString::fromStdString(text));
    ASSERT_TRUE(match.hasMatch()) << text;
    EXPECT_GE(match.captured(1).toInt(), 63);
    EXPECT_LE(match.captured(1).toInt(), 68);
    EXPECT_EQ(rig_.Core().InputsEncoded(), 0);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(Meter(), QStringLiteral("needs 2 discs"));
}

TEST_F(DiscSizeControl, ARunningConversionRefusesANewSize)
{
    Add(rig_.MakeList("clip.lst", 3));
    rig_.fake.PullFirstFrame();
    bool probed = false;
    QMetaObject::invokeMethod(
        &rig_.Window(),
        [&] {
            ASSERT_TRUE(rig_.Core().IsConverting());
            EXPECT_FALSE(Choice()->isEnabled());
            EXPECT_FALSE(Field()->isEnabled());
            // As a posted pick would leave it before its command runs.
            Choice()->setCurrentIndex(Choice()->findText(QStringLiteral("DVD-9")));
            rig_.Command(control::discSizeChoice);
            probed = true;
        },
        Qt::QueuedConnection);
    rig_.Command(control::startConversion);
    rig_.Settle();
    ASSERT_TRUE(probed);
    EXPECT_FALSE(rig_.Core().Settings().discSize.has_value());
    EXPECT_EQ(Choice()->currentText(), QStringLiteral("No disc size")) << "a refused pick shows the stored size";
    EXPECT_TRUE(Choice()->isEnabled());
}

} // namespace
} // namespace discforge::test
