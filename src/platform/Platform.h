#pragma once
// The services Chiplark takes from the desktop. Each is a small interface so the
// windows can be built with the real Qt services or with scripted fakes.

#include "clock/GameCommand.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <utility>

struct DisplayState;

namespace platform {

enum class Icon { None, Information, Warning, Question, Error };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Modal message box: text, title, icon and buttons in, the pressed button out.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual Answer show(const QString &text, const QString &title, Icon icon, Buttons buttons) = 0;
};

// Modal input box. Cancel (or closing the box) gives no answer at all;
// OK on an empty field gives an empty text.
class InputBox {
public:
    virtual ~InputBox() = default;
    virtual std::optional<QString> ask(const QString &prompt, const QString &title, const QString &defaultText) = 0;
};

// Colour dialog starting at the given colour (blue*65536 + green*256 + red);
// no answer when cancelled.
class ColourDialog {
public:
    virtual ~ColourDialog() = default;
    virtual std::optional<qint32> choose(qint32 colour) = 0;
};

// File-open dialog. The filter is "Description|pattern" pairs, e.g. "Wav Files|*.wav".
// No answer when cancelled.
class FileDialog {
public:
    virtual ~FileDialog() = default;
    virtual std::optional<QString> openFile(const QString &title, const QString &filter) = 0;
};

// The mouse cursor's display count: the cursor is hidden while the count is below 0.
// Returns the new count. Busy: something the user waits for is under way (each true ended by
// a false); the cursor says so while it is not hidden.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual int showCursor(bool show) = 0;
    virtual void busy(bool on) = 0;
};

// Opens a web address or a local page in the default browser.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openAddress(const QString &address) = 0;
};

// Sound file playback. Flags 2: play to the end before returning; flags 3: start and
// return at once. A file that cannot be played gives silence, never a default sound.
class Sound {
public:
    static constexpr int Sync = 2;
    static constexpr int Async = 3;
    virtual ~Sound() = default;
    virtual bool play(const QString &path, int flags) = 0;
    // Gets ready to play soon, without playing anything.
    virtual void prepare() {}
};

// The text-to-speech engine: the six operations the program asks of it. An engine may take
// a while to start; until it is ready it offers no voice.
class Speech {
public:
    virtual ~Speech() = default;
    // Whether the engine has finished starting (successfully or not).
    virtual bool ready() { return true; }
    // Runs the function once the engine is ready: at once when it already is.
    virtual void whenReady(std::function<void()> done)
    {
        const std::function<void()> now = std::move(done);
        now();
    }
    // Creates the voice; false when there is no engine or no voice.
    virtual bool create() = 0;
    // Name of the voice in use (the engine's default until one is chosen).
    virtual QString currentVoiceName() = 0;
    // Installed voices, in the same order on every call.
    virtual int voiceCount() = 0;
    virtual QString voiceName(int position) = 0;
    // Makes the voice at the position the one that speaks; false when there is none there.
    virtual bool selectVoice(int position) = 0;
    // Speaks asynchronously; a text given while another is spoken follows it.
    virtual void speak(const QString &text) = 0;
    // Nothing more is to be said for now: once what is queued has been said, the engine goes,
    // and with it the speech server it started. Any later use starts it again.
    virtual void release() {}
};

// Files and folders the program asks about.
class Files {
public:
    virtual ~Files() = default;
    virtual bool fileExists(const QString &path) = 0;
    // The folder that holds the program's executable.
    virtual QString programFolder() = 0;
};

// Time of day in the user's long time format, without any time-zone part.
class TimeFormat {
public:
    virtual ~TimeFormat() = default;
    virtual QString longTime(int secondsAfterMidnight) = 0;
};

// Keeps the screen on: while a game runs the desktop is asked not to blank the screen or
// start the screensaver. Asking twice, or releasing twice, is harmless.
class ScreenSaver {
public:
    virtual ~ScreenSaver() = default;
    virtual void inhibit() = 0;
    virtual void release() = 0;
};

// Shows the clock on other screens of the local network: a page that phones and TVs open,
// kept up to date with the game. Nothing listens until start().
class ClockPublisher {
public:
    virtual ~ClockPublisher() = default;
    // Starts serving; false with the reason when it cannot.
    virtual bool start(QString *why) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // The page's address on the local network, with its viewing token.
    virtual QString address() const = 0;
    // The control PIN, six digits, kept with the address.
    virtual QString pin() const = 0;
    // The address as a QR code: one pixel per module, with its quiet zone.
    virtual QImage qrCode() const = 0;
    // The one-time link that gives a phone control at once (the address with a code after
    // '#'), and it as a QR code. Used once, it is replaced.
    virtual QString controlLink() const = 0;
    virtual QImage controlCode() const = 0;
    // Phones given control since serving started, and taking it back from all of them. At
    // most MaxControlKeys hold it: one more lets go the phone that was given it first.
    static constexpr int MaxControlKeys = 16;
    virtual int phonesWithControl() const = 0;
    virtual void revokeControl() = 0;
    // Called when a phone is given control, or the link is used.
    virtual void setControlChanged(std::function<void()> changed) = 0;
    // The game as the players see it now.
    virtual void publish(const DisplayState &state) = 0;
    // Called on the user-interface thread for every control a paired phone sends:
    // the game's own command, and what came of it.
    virtual void setActionHandler(std::function<GameReply(const GameCommand &)> handler) = 0;
    // The file the address (token, port and PIN) is kept in between runs.
    virtual void setAddressFile(const QString &path) = 0;
    // A new address and PIN; the pages open at the old one are told it changed, and no phone
    // keeps control.
    virtual bool renewAddress(QString *why) = 0;
    // The page's address at this computer's other network addresses.
    virtual QStringList alsoReachable() const = 0;
    // No network was found: the address serves this computer only.
    virtual bool noNetwork() const = 0;
    // The kept port was taken when serving started, so the address changed.
    virtual bool addressMoved() const = 0;
    // Why the address could not be kept for the next run ("... the disk is full. Chiplark
    // keeps trying."); empty while it is kept. A change is told as a change of control.
    virtual QString addressNotKept() const { return {}; }
    // A game left by a crash and not taken up again: the phones that had control in it lose
    // it, and their kept keys go.
    virtual void forgetKeptControl() {}
};

// Every service one window needs, handed over in one piece.
struct Services {
    MessageBox *messageBox = nullptr;
    InputBox *inputBox = nullptr;
    ColourDialog *colourDialog = nullptr;
    FileDialog *fileDialog = nullptr;
    Cursor *cursor = nullptr;
    Shell *shell = nullptr;
    Sound *sound = nullptr;
    Speech *speech = nullptr;
    Files *files = nullptr;
    TimeFormat *timeFormat = nullptr;
    ScreenSaver *screenSaver = nullptr;
    ClockPublisher *publisher = nullptr; // none: the clock is shown on the display alone
};

} // namespace platform
