#include "app/commandline.h"

#include "buildinfo.h"

#include <algorithm>
#include <cstdio>

namespace tintara {

namespace {

// QGuiApplication's, QApplication's and the X11 platform's options, also written with two dashes:
// those that take the next argument as their value, those that take none, and those written with
// their value after "=".
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "title",         "icon",   "name",
    "visual"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "testability"};
const char* const kQtJoinedOptions[] = {"style=", "stylesheet=", "qmljsdebugger="};

template<std::size_t N>
bool isAmong(const QString& name, const char* const (&names)[N])
{
    return std::any_of(names, names + N, [&name](const char* option) { return name == option; });
}

const char kHelp[] = R"(Usage: tintara [OPTION]... [PICTURE]
Choose and check the background and text colours of a web page.

  PICTURE            start with this picture tiled as the preview's background
  -h, --help         show this help and exit
      --version      show the version and exit

The options of every Qt program are taken too, among them:
  -platform NAME     the window system's plugin: xcb, wayland, offscreen ...
  -display DISPLAY   the X display to open
  -style STYLE       the widget style, such as Fusion
  -stylesheet FILE   a Qt style sheet to apply

See tintara(1) for more.
)";

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    const auto fail = [&line](const QString& error) {
        line.action = CommandLine::Action::Error;
        line.error = error;
        return line;
    };
    bool named = false;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnd || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1) {
            if (named)
                return fail(QStringLiteral("extra argument '%1'").arg(argument));
            named = true;
            line.picture = argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnd = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.action = CommandLine::Action::Version;
            return line;
        } else {
            const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
            const bool joined =
                std::any_of(std::begin(kQtJoinedOptions), std::end(kQtJoinedOptions),
                            [&name](const char* prefix) { return name.startsWith(prefix); });
            if (joined || isAmong(name, kQtFlags))
                continue;
            if (!isAmong(name, kQtValueOptions))
                return fail(QStringLiteral("unknown option '%1'").arg(argument));
            if (++i == arguments.size())
                return fail(QStringLiteral("option '%1' needs a value").arg(argument));
        }
    }
    return line;
}

std::optional<int> answerWithoutWindow(const CommandLine& line)
{
    switch (line.action) {
    case CommandLine::Action::Run:
        return std::nullopt;
    case CommandLine::Action::Help:
        std::fputs(kHelp, stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("tintara %s\n", build::kVersion);
        return 0;
    case CommandLine::Action::Error:
        break;
    }
    std::fprintf(stderr, "tintara: %s\nTry 'tintara --help' for more information.\n",
                 line.error.toLocal8Bit().constData());
    return 2;
}

} // namespace tintara
