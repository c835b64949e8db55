// The once-a-second tick: clock label, position bar and which file and transport controls
// are usable, from start-up through typing a path to a file played to its end.
#include "tests/support/window/FormFixture.h"
#include "tests/support/Signals.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Wav.h"

#include "app/widgets/FloatTrackBar.h"
#include "app/widgets/PictureButton.h"
#include "app/logic/PositionDisplay.h"

#include "audio/include/bass.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

struct Usable {
    bool edit1, button1, play, pause, exportButton;
    bool operator==(const Usable&) const = default;
};

void PrintTo(const Usable& u, std::ostream* os) {
    *os << "{Edit1 " << u.edit1 << ", Button1 " << u.button1 << ", play " << u.play << ", pause "
        << u.pause << ", export " << u.exportButton << "}";
}

Usable UsableOf(const TForm1& form) {
    return {form.Edit1->isEnabled(), form.Button1->isEnabled(), form.ProcessingButton->isEnabled(),
            form.Button4->isEnabled(), form.Button5->isEnabled()};
}

constexpr Usable kNothingToPlay{true, true, false, false, false};
constexpr Usable kPlaying{false, false, false, true, false};
constexpr Usable kPlayable{true, true, true, false, true};

QString Clock(double seconds) {
    return ClockLabelText(seconds, QLocale::system());
}

TEST_F(CommandTest, AtStartUpOnlyThePathBoxAndOpenAreUsable) {
    form->Timer2Timer(form->Timer2);
    EXPECT_EQ(form->Label17->text(), Clock(0));
    EXPECT_EQ(form->TrackPosition->Max(), 0.0f);
    EXPECT_EQ(form->TrackPosition->Value(), 0.0f);
    EXPECT_EQ(UsableOf(*form), kNothingToPlay);
}

TEST_F(CommandTest, TypingAPathMakesPlayAndExportUsableAtTheNextTick) {
    form->Timer2Timer(form->Timer2);
    form->Edit1->setFocus();
    QTest::keyClicks(form->Edit1, QStringLiteral("song.wav")); // plain keys reach the box
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("song.wav"));
    EXPECT_EQ(UsableOf(*form), kNothingToPlay); // not before the tick

    form->Timer2Timer(form->Timer2);
    EXPECT_EQ(UsableOf(*form), kPlayable);

    form->Edit1->clear();
    form->Timer2Timer(form->Timer2);
    EXPECT_EQ(UsableOf(*form), kNothingToPlay);
}

TEST_F(CommandTest, AFilePlayedToItsEndMakesPlayOpenAndExportUsableAgain) {
    const corvanel::test::TempFolder dir;
    corvanel::test::WriteWav(dir / "short.wav",
                             corvanel::test::StereoSines(70560, 44100, 440, 660, 8000), 2, 44100);
    const QString path = QString::fromStdString((dir / "short.wav").string());
    // Every move the tick makes must reach the seek handler with tag 1.
    QList<int> tagsSeenBySeek;
    QObject::connect(form->TrackPosition, &corvanel::window::FloatTrackBar::Changed, form.get(),
                     [&] { tagsSeenBySeek << form->TrackPosition->Tag(); });

    form->Edit1->setText(path);
    form->ProcessingButtonClick(form->ProcessingButton);
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    ASSERT_EQ(BASS_ChannelIsActive(form->dwFxStream()), BASS_ACTIVE_PLAYING);

    form->Timer2Timer(form->Timer2);
    EXPECT_EQ(UsableOf(*form), kPlaying);
    EXPECT_FLOAT_EQ(form->TrackPosition->Max(), 1.6f);
    EXPECT_EQ(form->TrackPosition->Tag(), 0);

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return BASS_ChannelIsActive(form->dwFxStream()) == BASS_ACTIVE_STOPPED; }, 30000));
    form->Timer2Timer(form->Timer2);
    EXPECT_EQ(UsableOf(*form), kPlayable);
    // The label stays at the last position decoded: the whole file.
    EXPECT_EQ(form->Label17->text(), Clock(1.6));
    EXPECT_FLOAT_EQ(form->TrackPosition->Value(), 1.6f);

    ASSERT_FALSE(tagsSeenBySeek.isEmpty());
    for (int tag : tagsSeenBySeek)
        EXPECT_EQ(tag, 1);
    EXPECT_EQ(form->TrackPosition->Tag(), 0);
}

} // namespace
