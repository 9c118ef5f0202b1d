// Seeded random typing through the strict fake TSF: random key sequences interleaved with
// what applications do (refusing synchronous sessions, refusing compositions, ending any
// composition, typing the keys left to them, keeping the caret before inserted text,
// failing single calls, moving the focus between documents, the service losing and
// regaining the focus with the session queue held, deactivating the service with
// sessions pending, the user-phrase file changing), with the invariants checked after
// every step. One seed always gives the same run.
//
// The test command runs a short fixed set. By hand, for a long run:
//   MOIK_RANDOM_TYPING_SECONDS=600 [MOIK_RANDOM_TYPING_SEED=n] text_service_tests.exe
//       --gtest_filter='RandomTyping.*'
// and to replay one sequence: MOIK_RANDOM_TYPING_SEED=n MOIK_RANDOM_TYPING_SEQUENCES=1.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "dll_globals.h"
#include "fake_tsf/fake_host.h"
#include "fake_tsf/test_environment.h"
#include "test_files.h"
#include "text_service.h"

namespace {

using fake_tsf::FakeComposition;
using fake_tsf::FakeContext;

constexpr TfClientId Client = 42;
constexpr TfGuidAtom ReadingAtom = 0x77;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    char value[32] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    if (length == 0 || length >= sizeof(value)) return fallback;
    return std::strtoull(value, nullptr, 10);
}

bool NeverLaunch(std::wstring_view) noexcept { return false; }

HRESULT NoCategoryMgr(ITfCategoryMgr** out) noexcept {
    *out = nullptr;
    return REGDB_E_CLASSNOTREG;
}

struct Totals {
    std::uint64_t sequences = 0;
    std::uint64_t steps = 0;
    std::uint64_t keys = 0;
    std::uint64_t hostActions = 0;
    std::uint64_t findingCount = 0;
    std::set<std::string> kinds;
    std::vector<std::string> findings;  // the first example of each kind
};

// A key the typist may press, with the extended flag Windows gives it.
struct Key {
    WPARAM vk;
    bool extended;
};

const std::vector<Key>& TypingKeys() {
    static const std::vector<Key> keys = [] {
        std::vector<Key> all;
        for (WPARAM c = 'A'; c <= 'Z'; ++c) all.push_back({c, false});
        for (WPARAM c = '0'; c <= '9'; ++c) all.push_back({c, false});
        const Key others[] = {
            {VK_OEM_1, false}, {VK_OEM_COMMA, false}, {VK_OEM_PERIOD, false}, {VK_OEM_2, false},
            {VK_SPACE, false}, {VK_SPACE, false},     {VK_RETURN, false},     {VK_ESCAPE, false},
            {VK_BACK, false},  {VK_BACK, false},      {VK_LEFT, true},        {VK_RIGHT, true},
            {VK_UP, true},     {VK_DOWN, true},       {VK_PRIOR, true},       {VK_NEXT, true},
            {VK_HOME, true},   {VK_NUMPAD1, false},   {VK_RETURN, true},      {VK_MULTIPLY, false},
            {VK_F9, false},    {VK_F10, false},       {'8', false},
        };
        all.insert(all.end(), std::begin(others), std::end(others));
        return all;
    }();
    return keys;
}

class Sequence {
  public:
    Sequence(std::uint64_t sequenceSeed, const std::filesystem::path& folder, Totals& sum)
        : random(sequenceSeed),
          seed(sequenceSeed),
          userFile(folder / "Mo_Input_Ka_User.txt"),
          totals(sum) {}

    void Run(int steps) {
        objectsBefore = DllObjectCount.load();
        // Each sequence starts from the defaults, so a seed replays alone as in a run.
        fake_tsf::ClearSettings();
        { std::ofstream(userFile, std::ios::binary | std::ios::trunc) << "zh \xE4\xB8\xAD\n"; }
        host = std::make_unique<fake_tsf::FakeHost>();
        for (int i = 0; i < 3; ++i) documents.push_back(host->NewDocument(L"ab"));
        service = NewComObject<TextService>();
        if (service == nullptr) return Finding("no service");
        service->launchProgram = &NeverLaunch;
        service->createCategoryMgr = &NoCategoryMgr;
        const HRESULT activated = service->Activate(host->ThreadMgr(), Client);
        if (FAILED(activated)) {
            std::ostringstream text;
            text << "activation failed: " << std::hex << activated;
            return Finding(text.str());
        }
        service->readingAtom = ReadingAtom;
        service->table.LoadUserPhrases(userFile);
        host->Focus(documents[0].Get());
        host->ServiceFocus(true);
        ++totals.sequences;

        for (step = 0; step < steps && !failed; ++step) {
            ++totals.steps;
            if (Chance(15)) {
                HostAction();
            } else if (!serviceFocused) {
                // Keys reach the service only while its application has the focus.
                Log("service gains focus");
                serviceFocused = true;
                host->ServiceFocus(true);
            } else {
                KeyAction();
            }
            // The applications' message loops grant the queued sessions, mostly at once.
            if (!Chance(10)) RunQueues(false);
            DisarmFailure();
            Check();
            if (trace) {
                std::printf("step %d: %s%s\n", step, recent.empty() ? "" : recent.back().c_str(),
                            Describe().c_str());
            }
        }
        Finish();
    }

  private:
    bool Chance(int percent) { return static_cast<int>(random() % 100) < percent; }
    std::size_t Pick(std::size_t count) { return static_cast<std::size_t>(random() % count); }

    void Log(const std::string& what) {
        recent.push_back(what);
        if (recent.size() > 40) recent.pop_front();
    }

    std::string Describe() {
        std::ostringstream text;
        text << "\n  documents:";
        for (const auto& document : documents) {
            text << "\n    text length " << document->Text().size() << ", focused "
                 << (host->Focused() == document.Get()) << ", compositions";
            for (const auto& open : document->Compositions()) {
                text << " [" << open->Position().start << "," << open->Position().end << ")"
                     << (open.Get() == lastHeld.Get() ? " held" : "")
                     << (dropped.count(open.Get()) ? " dropped" : "");
            }
            text << ", attribute";
            for (const auto& value : document->AttributeProperty().Values()) {
                text << " [" << value.start << "," << value.end << ")";
            }
        }
        return text.str();
    }

    void Finding(const std::string& what) {
        ++totals.findingCount;
        if (!totals.kinds.insert(what).second) {
            failed = true;
            return;  // one example of each kind is enough
        }
        std::ostringstream text;
        text << "seed " << seed << " step " << step << ": " << what << "\n  last actions:";
        for (const auto& action : recent) text << " | " << action;
        text << Describe();
        totals.findings.push_back(text.str());
        failed = true;
    }

    // One key event, and what must hold after it: a key the service did not eat is the
    // application's, so the composer and the command buffer hold what they held before it,
    // or nothing.
    template <class Press>
    void Deliver(const char* kind, WPARAM vk, Press press) {
        ++totals.keys;
        const std::string readingBefore = service->composer.Reading();
        const std::string commandBefore = service->commandBuffer;
        const fake_tsf::KeyOutcome outcome = press();
        if (FAILED(outcome.testResult) || FAILED(outcome.keyResult)) {
            std::ostringstream text;
            text << kind << " " << vk << " failed: " << std::hex << outcome.testResult << " "
                 << outcome.keyResult;
            return Finding(text.str());
        }
        if (outcome.eaten) return;
        const std::string& reading = service->composer.Reading();
        const std::string& command = service->commandBuffer;
        if ((reading != readingBefore && !reading.empty()) ||
            (command != commandBefore && !command.empty())) {
            Finding("a key both typed by the application and kept by the service");
        }
    }

    void KeyAction() {
        auto& keyboard = host->keyboard;
        const int roll = static_cast<int>(random() % 100);
        if (roll < 8) {
            // A modifier goes down or comes up, and may stay down over later keys.
            static const WPARAM modifiers[] = {VK_SHIFT, VK_SHIFT, VK_CONTROL, VK_MENU};
            const WPARAM vk = modifiers[Pick(4)];
            const bool release = keyboard.IsDown(vk) && Chance(70);
            Log(std::string(release ? "up " : "down ") + std::to_string(vk));
            Deliver("modifier", vk, [&] { return release ? keyboard.Up(vk) : keyboard.Down(vk); });
            return;
        }
        if (roll < 11) {
            Log("caps lock");
            Deliver("caps", VK_CAPITAL, [&] { return keyboard.Type(VK_CAPITAL); });
            return;
        }
        const Key key = TypingKeys()[Pick(TypingKeys().size())];
        const int repeats = Chance(6) ? 2 + static_cast<int>(Pick(3)) : 1;
        Log("key " + std::to_string(key.vk) + (key.extended ? "e" : "") + " x" +
            std::to_string(repeats));
        // Held keys repeat: every further key-down has the previous-state bit.
        for (int i = 0; i < repeats && !failed; ++i) {
            Deliver("down", key.vk, [&] { return keyboard.Down(key.vk, key.extended); });
        }
        Deliver("up", key.vk, [&] { return keyboard.Up(key.vk, key.extended); });
    }

    void HostAction() {
        ++totals.hostActions;
        FakeContext* focused = host->Focused();
        switch (Pick(13)) {
            case 0:
                if (focused != nullptr) {
                    const bool refuse = focused->syncGrant != fake_tsf::SyncGrant::Never;
                    focused->syncGrant = refuse ? fake_tsf::SyncGrant::Never
                                                : fake_tsf::SyncGrant::WhileKeyDelivered;
                    Log(refuse ? "doc refuses sync" : "doc grants sync");
                }
                break;
            case 1:
                if (focused != nullptr) {
                    focused->refuseComposition = !focused->refuseComposition;
                    Log(focused->refuseComposition ? "doc refuses compositions"
                                                   : "doc takes compositions");
                }
                break;
            case 2:
                if (focused != nullptr) {
                    // Any live composition, also one the service dropped.
                    const auto& open = focused->Compositions();
                    FakeComposition* which = open.empty() ? nullptr : open[Pick(open.size())].Get();
                    Log("app ends composition");
                    const HRESULT hr = focused->TerminateComposition(which);
                    if (FAILED(hr)) Finding("app could not end the composition");
                }
                break;
            case 3: {
                const std::size_t target = Pick(documents.size() + 1);
                Log("focus " + std::to_string(target));
                host->Focus(target < documents.size() ? documents[target].Get() : nullptr);
                break;
            }
            case 4: {
                static const char* const phrases[] = {"\xE4\xB8\xAD\xE9\x96\x93", "\xE6\xB8\xAC",
                                                      "\xE5\xAD\x97"};
                std::string code;
                const std::size_t length = 1 + Pick(3);
                for (std::size_t i = 0; i < length; ++i) {
                    code += static_cast<char>('a' + Pick(26));
                }
                Log("user phrase " + code);
                std::ofstream(userFile, std::ios::binary | std::ios::app)
                    << code << ' ' << phrases[Pick(3)] << '\n';
                break;
            }
            case 5:
                if (focused != nullptr) {
                    const long length = static_cast<long>(focused->Text().size());
                    const long at = static_cast<long>(Pick(static_cast<std::size_t>(length) + 1));
                    Log("app moves caret to " + std::to_string(at));
                    focused->MoveSelection(at, at);
                }
                break;
            case 6:
                if (focused != nullptr) {
                    Log("app types");
                    focused->TypeAtSelection(Chance(50) ? L"x" : L"\b");
                }
                break;
            case 7:
                if (focused != nullptr) {
                    focused->caretBeforeInsertedText = !focused->caretBeforeInsertedText;
                    Log(focused->caretBeforeInsertedText ? "doc keeps caret before insertions"
                                                         : "doc puts caret after insertions");
                }
                break;
            case 8:
                ArmFailure(focused);
                break;
            case 9:
                ChangeServiceFocus(focused);
                break;
            case 10:
                Log("queues let go");
                RunQueues(true);
                break;
            case 11:
                DeactivateWithSessionsPending(focused);
                break;
            default:
                if (focused != nullptr && focused->holdQueue == false && Chance(50)) {
                    Log("doc holds its queue");
                    focused->holdQueue = true;
                }
                break;
        }
    }

    // One call of the focused document fails during the next key and what it queues.
    void ArmFailure(FakeContext* focused) {
        using Switches = fake_tsf::FailureSwitches;
        struct Switch {
            const char* name;
            HRESULT Switches::*call;
            HRESULT result;
        };
        static const Switch switches[] = {
            {"GetRange", &Switches::compositionGetRange, E_FAIL},
            {"SetText", &Switches::rangeSetText, TS_E_READONLY},
            {"SetSelection", &Switches::setSelection, E_FAIL},
            {"EndComposition", &Switches::endComposition, E_UNEXPECTED},
            {"GetProperty", &Switches::getProperty, E_OUTOFMEMORY},
            {"SetValue", &Switches::propertySetValue, E_FAIL},
        };
        if (focused == nullptr) return;
        if (armed != nullptr && armed != focused) armed->failures = fake_tsf::FailureSwitches{};
        const Switch& chosen = switches[Pick(std::size(switches))];
        Log(std::string("next key: ") + chosen.name + " fails");
        focused->failures.*chosen.call = chosen.result;
        armed = focused;
        attributeMayLack = attributeMayLack || chosen.call == &Switches::getProperty ||
                           chosen.call == &Switches::propertySetValue;
        endMayFail = endMayFail || chosen.call == &Switches::endComposition;
        armedForKey = true;
    }

    // The failure lasts for the key after it was armed, with the sessions run after it; the
    // sessions already queued run under it too, in the step that armed it.
    void DisarmFailure() {
        if (armed == nullptr) return;
        NoteWhatTheFailureLeft();
        if (armedForKey) {
            armedForKey = false;
            return;
        }
        armed->failures = fake_tsf::FailureSwitches{};
        armed = nullptr;
        endMayFail = false;
        attributeMayLack = false;
    }

    void NoteWhatTheFailureLeft() {
        // A composition that would not end was let go of by the service, maybe in the
        // very key that started it.
        if (endMayFail) {
            for (const auto& open : armed->Compositions()) {
                if (open.Get() != service->composition.Get() && dropped.insert(open.Get()).second) {
                    keptDropped.push_back(open);
                }
            }
        }
        // The reading written meanwhile may lack its underline: a failure that is ignored.
        if (attributeMayLack && service->composition &&
            unmarked.insert(dynamic_cast<FakeComposition*>(service->composition.Get())).second) {
            keptUnmarked.push_back(service->composition);
        }
    }

    void ChangeServiceFocus(FakeContext* focused) {
        if (!serviceFocused) {
            Log("service gains focus");
            serviceFocused = true;
            host->ServiceFocus(true);
            return;
        }
        // The Escape asked for on the way out may be left pending over later keys.
        const bool hold = focused != nullptr && Chance(50);
        if (hold) focused->holdQueue = true;
        Log(hold ? "service loses focus, queue held" : "service loses focus");
        serviceFocused = false;
        host->keyboard.Reset();  // keys held when the focus moved are let go
        host->ServiceFocus(false);
    }

    // What every document shows: its text and its live compositions.
    struct Shown {
        std::wstring text;
        std::vector<const FakeComposition*> compositions;
        bool operator==(const Shown&) const = default;
    };
    std::vector<Shown> EveryDocument() const {
        std::vector<Shown> shown;
        for (const auto& document : documents) {
            Shown one{document->Text(), {}};
            for (const auto& open : document->Compositions())
                one.compositions.push_back(open.Get());
            shown.push_back(std::move(one));
        }
        return shown;
    }

    // Deactivate while sessions wait; they run after it, before or after the next Activate,
    // and must change nothing.
    void DeactivateWithSessionsPending(FakeContext* focused) {
        if (focused != nullptr && Chance(70)) focused->holdQueue = true;
        const bool reactivateFirst = Chance(50);
        Log(reactivateFirst ? "deactivate, activate, queues run" : "deactivate, queues run");
        host->keyboard.Reset();
        service->Deactivate();
        if (host->threadMgr->Sink() != nullptr) return Finding("key sink still advised");
        NoteDroppedCompositions();
        if (reactivateFirst && !Reactivate()) return;
        const std::vector<Shown> before = EveryDocument();
        for (auto& document : documents) document->ReleaseQueue();
        if (EveryDocument() != before) {
            return Finding("a session edited a document after Deactivate");
        }
        // The toolbar may be up again after a new activation; the composition and the
        // composer are what a stale session would fill.
        if (service->composition || !service->composer.Reading().empty() ||
            !service->composer.Candidates().empty()) {
            return Finding("a session after Deactivate left state in the service");
        }
        if (!reactivateFirst) Reactivate();
    }

    bool Reactivate() {
        const HRESULT activated = service->Activate(host->ThreadMgr(), Client);
        if (FAILED(activated)) {
            std::ostringstream text;
            text << "activation failed: " << std::hex << activated;
            Finding(text.str());
            return false;
        }
        service->readingAtom = ReadingAtom;
        if (serviceFocused) host->ServiceFocus(true);
        return true;
    }

    static bool ValidUtf16(const std::wstring& text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const wchar_t unit = text[i];
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                    return false;
                }
                ++i;
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                return false;
            }
        }
        return true;
    }

    // Compositions the service let go of without ending them (a key arrived in another
    // document): they stay open in their document, which TSF allows.
    // Runs every document's queue in turn, letting held ones go when `release`. A session in
    // one document drops the composition the service held in another, so what was dropped
    // is noted after each document, not once a step.
    void RunQueues(bool release) {
        for (auto& document : documents) {
            if (release) {
                document->ReleaseQueue();
            } else {
                document->RunPendingSessions();
            }
            NoteDroppedCompositions();
        }
    }

    void NoteDroppedCompositions() {
        ITfComposition* held = service->composition.Get();
        if (lastHeld && lastHeld.Get() != held && !lastHeld->Ended()) {
            dropped.insert(lastHeld.Get());
            keptDropped.push_back(lastHeld);  // its address must not be reused meanwhile
        }
        lastHeld = nullptr;
        if (held != nullptr) {
            lastHeld = ComPtr<FakeComposition>(dynamic_cast<FakeComposition*>(held));
        }
    }

    void Check() {
        if (failed) return;
        NoteDroppedCompositions();
        ITfComposition* held = service->composition.Get();
        auto* heldFake = dynamic_cast<FakeComposition*>(held);
        if (held != nullptr && (heldFake == nullptr || heldFake->Ended())) {
            return Finding("the service holds a composition that is not open");
        }
        if ((held == nullptr) != (service->compositionContext.Get() == nullptr)) {
            return Finding("composition and its context out of step");
        }
        for (const auto& document : documents) {
            if (!ValidUtf16(document->Text())) return Finding("document is not valid UTF-16");
            const bool holdsHere = held != nullptr && service->compositionContext.Get() ==
                                                          static_cast<ITfContext*>(document.Get());
            int mine = 0;
            bool heldFound = false;
            for (const auto& open : document->Compositions()) {
                if (open.Get() == heldFake) heldFound = true;
                if (dropped.count(open.Get()) == 0) ++mine;
            }
            if (holdsHere != heldFound || mine != (holdsHere ? 1 : 0)) {
                return Finding("an open composition the service does not know, or the reverse");
            }
            CheckAttribute(*document.Get(), holdsHere ? heldFake : nullptr);
            if (failed) return;
        }
    }

    // The reading attribute lies over exactly the compositions' text: all of the held
    // one, nothing outside an open composition.
    void CheckAttribute(const FakeContext& document, const FakeComposition* held) {
        const long length = static_cast<long>(document.Text().size());
        std::vector<bool> inComposition(static_cast<std::size_t>(length), false);
        for (const auto& open : document.Compositions()) {
            for (long i = open->Position().start; i < open->Position().end && i < length; ++i) {
                inComposition[static_cast<std::size_t>(i)] = true;
            }
        }
        for (long i = 0; i < length; ++i) {
            const auto value = document.AttributeProperty().ValueAt(i);
            if (value && !inComposition[static_cast<std::size_t>(i)]) {
                return Finding("reading attribute outside every composition at " +
                               std::to_string(i));
            }
            if (value && (value->type != VT_I4 || value->value != ReadingAtom)) {
                return Finding("an attribute that is not the reading atom");
            }
        }
        if (held != nullptr && unmarked.count(held) == 0) {
            for (long i = held->Position().start; i < held->Position().end; ++i) {
                if (!document.AttributeProperty().ValueAt(i)) {
                    return Finding("reading without its attribute at " + std::to_string(i));
                }
            }
        }
    }

    void Finish() {
        host->keyboard.Reset();
        if (service == nullptr) return;
        service->Deactivate();
        if (host->threadMgr->Sink() != nullptr) Finding("key sink still advised");
        const std::vector<Shown> before = EveryDocument();
        for (auto& document : documents) document->ReleaseQueue();
        if (EveryDocument() != before) Finding("a session edited a document after Deactivate");
        unmarked.clear();
        keptUnmarked.clear();
        ITfTextInputProcessorEx* processor = service;
        service = nullptr;
        lastHeld = nullptr;
        dropped.clear();
        keptDropped.clear();
        documents.clear();
        host.reset();  // dropped compositions let go of their sinks with their documents
        const ULONG left = processor->Release();
        if (left != 0) Finding("service references left: " + std::to_string(left));
        if (DllObjectCount.load() != objectsBefore) Finding("module object count off");
    }

    std::mt19937_64 random;
    std::uint64_t seed;
    std::filesystem::path userFile;
    Totals& totals;
    int step = 0;
    bool failed = false;
    bool trace = EnvNumber("MOIK_RANDOM_TYPING_TRACE", 0) != 0;
    std::deque<std::string> recent;
    std::unique_ptr<fake_tsf::FakeHost> host;
    std::vector<ComPtr<FakeContext>> documents;
    TextService* service = nullptr;
    bool serviceFocused = true;
    FakeContext* armed = nullptr;  // the document with a failure switched on
    bool armedForKey = false;
    bool attributeMayLack = false;
    bool endMayFail = false;
    // Compositions written while the attribute could not be set: they may lack it.
    std::set<const FakeComposition*> unmarked;
    std::vector<ComPtr<ITfComposition>> keptUnmarked;
    ComPtr<FakeComposition> lastHeld;
    std::set<const FakeComposition*> dropped;
    std::vector<ComPtr<FakeComposition>> keptDropped;
    std::uint32_t objectsBefore = 0;
};

TEST(RandomTyping, InvariantsHoldAfterEveryKeyAndHostAction) {
    fake_tsf::ComApartment apartment;
    fake_tsf::ClearSettings();
    test_support::TempDir temp;
    fake_tsf::UseTable(test_support::SourcePath("data/ZiRevod-Ka.cin"));

    const std::uint64_t firstSeed = EnvNumber("MOIK_RANDOM_TYPING_SEED", 20261210);
    const std::uint64_t seconds = EnvNumber("MOIK_RANDOM_TYPING_SECONDS", 0);
    const std::uint64_t sequences = EnvNumber("MOIK_RANDOM_TYPING_SEQUENCES", 40);
    const int steps = static_cast<int>(EnvNumber("MOIK_RANDOM_TYPING_STEPS", 250));
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                start)
            .count();
    };

    Totals totals;
    for (std::uint64_t i = 0;; ++i) {
        if (seconds == 0 ? i >= sequences : static_cast<std::uint64_t>(elapsed()) >= seconds) {
            break;
        }
        Sequence(firstSeed + i, temp.Path(), totals).Run(steps);
    }
    fake_tsf::ClearSettings();
    std::printf(
        "random typing: %llu sequences, %llu steps, %llu key events, %llu host actions, "
        "%llu findings of %zu kinds in %llds\n",
        static_cast<unsigned long long>(totals.sequences),
        static_cast<unsigned long long>(totals.steps), static_cast<unsigned long long>(totals.keys),
        static_cast<unsigned long long>(totals.hostActions),
        static_cast<unsigned long long>(totals.findingCount), totals.findings.size(),
        static_cast<long long>(elapsed()));
    for (const auto& finding : totals.findings) ADD_FAILURE() << finding;
}

}  // namespace
