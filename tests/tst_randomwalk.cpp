// SPDX-License-Identifier: GPL-3.0-or-later
// Random walks through the nine windows: the real program (registry, screens
// and Qt widgets on the offscreen platform) and the reference model in
// WalkModel take the same seeded random actions: a press on any push button
// of a visible window (mouse, space bar or Enter), a random or nasty text
// typed or pasted into any visible text box, or a visible window closed
// through its close control.
// After every action both must agree on the windows, the watched texts, the
// failure message and the end of the program. A walk ends where the program
// ends; the next walk starts a fresh program.
//
// On a disagreement the test prints the seed and the shortest list of actions
// it could find that still reproduces one (delta debugging), then fails.
// TAKHMIN_WALK_SEED runs that one seed instead of the fixed ones and
// TAKHMIN_WALK_ACTIONS sets the number of actions per seed.
#include "WalkDriver.h"
#include "WalkModel.h"
#include "app/FailureMessages.h"
#include "desktop/Appearance.h"

#include <QApplication>

#include <chrono>
#include <map>
#include <random>
#include <string>
#include <vector>

using app::FormId;

namespace {

struct Action {
    enum class Kind { Click, Type, Close };
    Kind kind = Kind::Click;
    FormId form = FormId::Form1;
    std::string control; // the button or the text box
    std::string text;    // typed or pasted
    bool paste = false;
    Press press = Press::Mouse;
};

std::string describe(const Action& action) {
    const std::string where = std::string(app::formName(action.form)) + "." + action.control;
    switch (action.kind) {
    case Action::Kind::Click:
        return (action.press == Press::Mouse   ? "click "
                : action.press == Press::Space ? "space bar on "
                                               : "Enter on ") +
               where;
    case Action::Kind::Type:
        return (action.paste ? "paste into " : "type into ") + where + " " +
               walk::quoted(action.text);
    case Action::Kind::Close:
        return "close " + std::string(app::formName(action.form));
    }
    return {};
}

// Texts a user might type, and texts no user should: numbers in and out of
// the age range (6 to 70) and the puzzle's range (85 to 9884), exponents
// beyond a double, Arabic letters, both Arabic digit scripts, blanks, and
// 100 000-character pastes.
class TextSource {
  public:
    explicit TextSource(std::mt19937& random) : m_random(random) {}

    // A text for a box of the given window: half the time one made for what
    // the window asks for, otherwise any of them.
    std::string next(FormId form) {
        std::string text;
        int kind = pick(12);
        if (pick(2) == 0) // ages; results, range ends or numbers with more after; operands
            kind = form == FormId::Form1 ? 3 : form == FormId::Form6 ? 4 + pick(3) * 2 : 9;
        switch (kind) {
        case 0:
            return {};
        case 1:
            return huge();
        case 2:
            text = word();
            break;
        case 3: // ages around and inside 6..70, its ends among them
            text = pick(4) == 0 ? oneOf({"6", "70", "5.99", "70.01", "6.0", "69.999", "-6"})
                                : number(-10, 90, pick(3));
            break;
        case 4: { // a puzzle result from two numbers from 2 to 99
            const int first = 2 + pick(98);
            const int second = 2 + pick(98);
            text = std::to_string(100 * first + second - 115);
            break;
        }
        case 5:
            text = number(0, 12000, pick(4));
            break;
        case 6:
            text = oneOf({"5.99", "6", "70", "70.01", "84", "84.999", "85", "9884", "9884.001",
                          "9885", "100.5", "101.5", "-0", ".5", "5.", "+7", "0", "-6.5"});
            break;
        case 7:
            text = oneOf({"1e400", "-1e400", "1e-400", "1e308", "-1e308", "1e200", "1e-200",
                          "1.7976931348623157e308", "2.064e3", "9.884E3", "5e", "5e+", "1E2",
                          "2147483647.5", "4.9e-324"});
            break;
        case 8: // a number with something after it
            text = number(0, 10000, pick(2)) +
                   oneOf({" ", "abc", " سنة", "e", "٫", "..", "-", " 5", "\u00A0"});
            break;
        case 9: // calculator operands, zero and the limits of a double among them
            text = pick(3) == 0 ? oneOf({"0", "-0", "1e200", "-1e200", "1e-200", "1e308", "1e400",
                                         "-1e400", "0.1", "3"})
                                : number(-20, 20, pick(2));
            break;
        default:
            text = jumble();
            break;
        }
        if (pick(4) == 0)
            text = inArabicDigits(text, pick(3));
        if (pick(8) == 0)
            text = oneOf({" ", "\u00A0", "  "}) + text + oneOf({"", " ", "\u00A0"});
        return text;
    }

  private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }

    std::string oneOf(std::initializer_list<const char*> choices) {
        return *(choices.begin() + pick(int(choices.size())));
    }

    // A number from low to high with up to `decimals` digits after the point.
    std::string number(int low, int high, int decimals) {
        std::string text = std::to_string(std::uniform_int_distribution<int>(low, high)(m_random));
        if (decimals > 0) {
            text += '.';
            for (int i = 0; i < decimals; ++i)
                text += char('0' + pick(10));
        }
        return text;
    }

    std::string word() {
        return oneOf({"عمري", "ألفان", "خمسة وعشرون", "abc", "twenty", "e", "x", "ـ", "نعم"});
    }

    std::string jumble() {
        static const char* const pieces[] = {"0", "1", "5", "9", "٠", "٥",      "٩", "۰", "۵",
                                             "۹", ".", "٫", "+", "-", "e",      "E", " ", "\u00A0",
                                             "a", "ب", "ة", "،", "٬", "\u200F", "/", "*"};
        std::string text;
        for (int n = 1 + pick(12); n > 0; --n)
            text += pieces[pick(int(std::size(pieces)))];
        return text;
    }

    std::string huge() {
        constexpr int length = 100'000;
        const auto repeat = [](std::string_view unit, int count) {
            std::string text;
            text.reserve(unit.size() * std::size_t(count));
            for (int i = 0; i < count; ++i)
                text += unit;
            return text;
        };
        switch (pick(6)) {
        case 0:
            return oneOf({"25", "2064", "3"}) + repeat(" ", length);
        case 1:
            return oneOf({"25 ", "2064", "12"}) + repeat("ب", length);
        case 2:
            return repeat("7", length);
        case 3:
            return repeat("٣", length);
        case 4:
            return repeat(" ", length) + oneOf({"30", "2064", "9"});
        default:
            return oneOf({"2064.", "0.", "6."}) + repeat("0", length);
        }
    }

    // ASCII digits as Arabic-Indic (0), extended Arabic-Indic (1) or a mix.
    std::string inArabicDigits(const std::string& text, int script) {
        std::string out;
        for (const char c : text) {
            if (c < '0' || c > '9') {
                out += c;
                continue;
            }
            const bool extended = script == 1 || (script == 2 && pick(2) == 0);
            out += char(extended ? 0xDB : 0xD9);
            out += char((extended ? 0xB0 : 0xA0) + (c - '0'));
        }
        return out;
    }

    std::mt19937& m_random;
};

// The program and the model side by side, from the start of one walk.
class Walk {
  public:
    const walk::Model& model() const { return m_model; }
    bool ended() const { return m_model.observation().ended; }

    // Whether the action can be taken now: its window is visible.
    bool applies(const Action& action) const { return !ended() && m_model.isVisible(action.form); }

    // Takes the action on both; returns what they disagree on afterwards.
    std::string take(const Action& action) {
        dismissFailure(m_gui);
        const char* control = action.control.c_str();
        switch (action.kind) {
        case Action::Kind::Click:
            m_model.click(action.form, action.control);
            if (!clickButton(m_gui, action.form, control, action.press))
                return "  the program has no such push button\n";
            break;
        case Action::Kind::Type: {
            m_model.type(action.form, action.control, action.text);
            const QString text = QString::fromStdString(action.text);
            if (!enterText(m_gui, action.form, control, text, action.paste))
                return "  the program has no such text box\n";
            break;
        }
        case Action::Kind::Close:
            m_model.closeWindow(action.form);
            if (desktop::Window* window = m_gui.window(action.form))
                window->close();
            GuiHarness::settle();
            break;
        }
        return walk::differences(m_model.observation(), observe(m_gui));
    }

  private:
    GuiHarness m_gui;
    walk::Model m_model;
};

Action randomAction(std::mt19937& random, TextSource& texts, const walk::Model& model) {
    std::vector<FormId> visible;
    std::vector<std::pair<FormId, std::string_view>> boxes;
    for (int i = 0; i < app::formCount; ++i) {
        const auto form = FormId(i);
        if (!model.isVisible(form))
            continue;
        visible.push_back(form);
        for (const std::string_view box : walk::textBoxesOf(form))
            boxes.emplace_back(form, box);
    }
    const auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };

    Action action;
    const std::size_t roll = pick(100);
    if (roll < 4) {
        action.kind = Action::Kind::Close;
        action.form = visible[pick(visible.size())];
    } else if (roll < 40 && !boxes.empty()) {
        const auto& [form, box] = boxes[pick(boxes.size())];
        action.kind = Action::Kind::Type;
        action.form = form;
        action.control = box;
        action.text = texts.next(form);
        // Long texts arrive by paste; short ones are typed, or now and then
        // pasted too.
        action.paste = QString::fromStdString(action.text).size() > 40 || pick(10) == 0;
    } else {
        action.form = visible[pick(visible.size())];
        const auto buttons = walk::buttonsOf(action.form);
        action.control = buttons[pick(buttons.size())];
        // Mostly the mouse; now and then the keyboard.
        const std::size_t way = pick(10);
        action.press = way == 0 ? Press::Space : way == 1 ? Press::Enter : Press::Mouse;
    }
    return action;
}

// Replays the actions on a fresh program, skipping those whose window is not
// visible at their turn; returns the first disagreement, or nothing.
std::string replay(const std::vector<Action>& actions) {
    Walk run;
    for (const Action& action : actions) {
        if (!run.applies(action))
            continue;
        if (std::string found = run.take(action); !found.empty())
            return found;
    }
    return {};
}

// Delta debugging: drops ever smaller chunks of actions while a disagreement
// remains, then cuts typed texts short where that keeps it, within a time
// budget.
std::vector<Action> shrink(std::vector<Action> actions) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    std::size_t chunks = 2;
    while (actions.size() >= 2 && Clock::now() < deadline) {
        const std::size_t size = (actions.size() + chunks - 1) / chunks;
        bool dropped = false;
        for (std::size_t start = 0; start < actions.size(); start += size) {
            std::vector<Action> fewer(actions.begin(), actions.begin() + std::ptrdiff_t(start));
            fewer.insert(fewer.end(),
                         actions.begin() + std::ptrdiff_t(std::min(start + size, actions.size())),
                         actions.end());
            if (!replay(fewer).empty()) {
                actions = std::move(fewer);
                chunks = std::max<std::size_t>(chunks - 1, 2);
                dropped = true;
                break;
            }
        }
        if (!dropped) {
            if (size == 1)
                break;
            chunks = std::min(chunks * 2, actions.size());
        }
    }
    for (Action& action : actions) {
        while (action.text.size() > 1 && Clock::now() < deadline) {
            const QString text = QString::fromStdString(action.text);
            Action shorter = action;
            shorter.text = text.left(text.size() / 2).toStdString();
            std::swap(action, shorter);
            if (replay(actions).empty()) {
                std::swap(action, shorter);
                break;
            }
        }
    }
    return actions;
}

// The offscreen platform cannot raise windows or pass on size hints and says
// so every time; thousands of such lines would drown the test's own output.
QtMessageHandler defaultHandler = nullptr;

void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    defaultHandler(type, context, text);
}

unsigned environmentNumber(const char* name, unsigned fallback) {
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const unsigned number = value.toUInt(&ok);
    return ok ? number : fallback;
}

} // namespace

class TestRandomWalk : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void initTestCase() {
        desktop::prepareApplication(*qApp);
        defaultHandler = qInstallMessageHandler(dropPlatformNotes);
    }

    void randomWalk_data() {
        QTest::addColumn<std::uint32_t>("seed");
        QTest::addColumn<unsigned>("actions");
        const unsigned actions = environmentNumber("TAKHMIN_WALK_ACTIONS", 2000);
        if (qEnvironmentVariableIsSet("TAKHMIN_WALK_SEED")) {
            const std::uint32_t seed = environmentNumber("TAKHMIN_WALK_SEED", 0);
            QTest::addRow("seed %u", seed) << seed << actions;
            return;
        }
        for (const std::uint32_t seed : {1u, 2u, 3u, 20240607u, 4000000000u})
            QTest::addRow("seed %u", seed) << seed << actions;
    }

    void randomWalk() {
        QFETCH(std::uint32_t, seed);
        QFETCH(unsigned, actions);
        std::mt19937 random(seed);
        TextSource texts(random);
        unsigned taken = 0;
        unsigned walks = 0;
        std::map<std::string, unsigned> seen; // what the walk ran into, for the log
        const auto started = std::chrono::steady_clock::now();

        while (taken < actions) {
            ++walks;
            Walk run;
            std::vector<Action> history;
            while (taken < actions && !run.ended()) {
                history.push_back(randomAction(random, texts, run.model()));
                ++taken;
                const std::string found = run.take(history.back());
                if (!found.empty())
                    return reportDisagreement(seed, taken, history, found);
                const walk::Observation& now = run.model().observation();
                if (now.failure)
                    ++seen["failure: " + std::string(app::failureMessage(*now.failure))];
                if (history.back().kind == Action::Kind::Click)
                    ++seen["click " + std::string(app::formName(history.back().form)) + "." +
                           history.back().control];
            }
            if (run.ended())
                ++seen["program ended"];
        }
        const auto elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
        qInfo("seed %u: %u actions in %u walks, %.1f s", seed, taken, walks, elapsed.count());
        std::string tally;
        for (const auto& [what, count] : seen)
            tally += what + " " + std::to_string(count) + "; ";
        qInfo("%s", tally.c_str());
    }

  private:
    static void reportDisagreement(std::uint32_t seed, unsigned taken,
                                   const std::vector<Action>& history, const std::string& found) {
        qWarning("seed %u, action %u (%s): the program and the model disagree:\n%s", seed, taken,
                 describe(history.back()).c_str(), found.c_str());
        const std::vector<Action> shortest = shrink(history);
        std::string steps;
        for (std::size_t i = 0; i < shortest.size(); ++i)
            steps += "  " + std::to_string(i + 1) + ". " + describe(shortest[i]) + "\n";
        qWarning("shortest reproduction (%zu actions), from the start of the program:\n%s"
                 "which gives:\n%s",
                 shortest.size(), steps.c_str(), replay(shortest).c_str());
        QFAIL("the program and the model disagree");
    }
};

QTEST_MAIN(TestRandomWalk)
#include "tst_randomwalk.moc"
