#include "app/settings_check.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "app/ini_text.h"
#include "app/program_count.h"
#include "app/restart_rules.h"
#include "app/setting_keys.h"
#include "app/settings.h"
#include "app/start_after.h"
#include "support/digits.h"
#include "support/shown_url.h"
#include "support/text_case.h"

namespace vigilon {
namespace {

constexpr wchar_t kPolicyOnly[] = L": set only by an administrator's policy; in vigilon.ini it does nothing";

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

// The number of an App<n> key as the list reads them ("App" and the number without leading
// zeros, case ignored); nothing for any other key.
std::optional<int> AppNumber(std::wstring_view key) {
    std::wstring_view const prefix = kAppKeyPrefix;
    if (!SameText(key.substr(0, prefix.size()), prefix)) return std::nullopt;
    std::wstring_view const digits = key.substr(prefix.size());
    int const number = SmallNumber(digits, 5);
    if (number < 0 || (digits.size() > 1 && digits.front() == L'0')) return std::nullopt;
    return number;
}

// The known key of that name read in `place` from the file or a policy; nothing when none is.
SettingKey const* KnownKey(std::wstring_view name, KeyPlace place) {
    for (SettingKey const& key : SettingKeys()) {
        if (key.place != place) continue;
        if (key.numbered ? place == KeyPlace::Apps && AppNumber(name).has_value() : SameText(key.name, name)) {
            return &key;
        }
    }
    return nullptr;
}

// The edit distance of two texts, a swap of two letters side by side counting as one edit.
std::size_t Distance(std::wstring_view a, std::wstring_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t const change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// The key of the file read in `place` nearest to `key`, as it should be written: one or two
// letters off (one for a short key), case ignored; a numbered key keeps its number ("Ap5" gives
// App5). Empty when none is that near.
std::wstring NearestKey(std::wstring_view key, KeyPlace place) {
    std::wstring const upper = ToUpperText(key);
    std::size_t const firstDigit = upper.find_last_not_of(L"0123456789") + 1;
    std::wstring nearest;
    std::size_t best = 3;
    for (SettingKey const& known : SettingKeys()) {
        if (known.place != place || !known.InFile()) continue;
        std::wstring_view compared = upper;
        std::wstring written(known.name);
        if (known.numbered) {
            if (firstDigit == 0 || firstDigit == upper.size()) continue;
            compared = std::wstring_view(upper).substr(0, firstDigit);
            std::wstring_view const number = std::wstring_view(upper).substr(firstDigit);
            std::size_t const zeros = std::min(number.find_first_not_of(L'0'), number.size() - 1);
            written += number.substr(zeros);
            if (ToUpperText(written) == upper) continue;  // a number beyond those read: no nearer key
        }
        std::size_t const distance = Distance(compared, ToUpperText(known.name));
        if (distance <= (known.name.size() <= 4 ? 1u : 2u) && distance < best) {
            best = distance;
            nearest = written;
        }
    }
    return nearest;
}

// A key of `place` that Vigilon does not read there.
std::wstring UnknownKey(std::wstring const& key, KeyPlace place) {
    if (key.empty()) return L"a value without a key, so it is not read";
    KeyPlace const other = place == KeyPlace::Apps ? KeyPlace::Program : KeyPlace::Apps;
    if (SettingKey const* elsewhere = KnownKey(key, other)) {
        if (!elsewhere->InFile()) return key + kPolicyOnly;
        return key + (other == KeyPlace::Apps ? L": belongs in [Apps]" : L": belongs in a program's section");
    }
    if (std::wstring const nearest = NearestKey(key, place); !nearest.empty()) return key + L": did you mean " + nearest + L"?";
    if (std::wstring const nearest = NearestKey(key, other); !nearest.empty()) {
        return key + L": did you mean " + nearest + (other == KeyPlace::Apps ? L", in [Apps]?" : L", in a program's section?");
    }
    return key + L": not a key Vigilon reads, so it does nothing";
}

// True when the text starts with a number as Number is read: blanks, a sign, then a digit or a
// point and a digit.
bool StartsWithNumber(std::wstring_view text) {
    std::size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring_view::npos) return false;
    if (text[i] == L'+' || text[i] == L'-') ++i;
    if (i < text.size() && text[i] == L'.') ++i;
    return i < text.size() && IsDigit(text[i]);
}

class Checker {
public:
    explicit Checker(std::wstring_view text) : sections_(ParseIniText(text)) {}

    std::vector<SettingsProblem> Run() {
        for (IniEntry const& entry : sections_.front().entries) {
            Say(entry.line, sections_.front(), {}, entry.key + L": above the first section, so it is not read");
        }
        for (std::size_t i = 1; i < sections_.size(); ++i) {
            IniSection const& section = sections_[i];
            auto const [first, fresh] = first_.emplace(IniNameKey(section.name), &section);
            if (!fresh) {
                Say(section.line, section, {}, L"the section again: only the one on line " +
                                                   std::to_wstring(first->second->line) + L" is read");
            }
        }
        CheckApps();
        CheckList();
        CheckSections();
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](SettingsProblem const& a, SettingsProblem const& b) { return a.line < b.line; });
        return std::move(problems_);
    }

private:
    void Say(int line, IniSection const& section, std::wstring program, std::wstring text) {
        problems_.push_back({line, section.name, std::move(program), std::move(text)});
    }

    IniSection const* Section(std::wstring_view name) const {
        auto const found = first_.find(IniNameKey(name));
        return found == first_.end() ? nullptr : found->second;
    }

    // Each key of `section` once: a line without "=" and a key given again are said here, and
    // `check` is given the first line of each key.
    template <typename Check>
    void ForEachKey(IniSection const& section, std::wstring const& program, Check check) {
        std::map<std::wstring, int> seen;
        for (IniEntry const& entry : section.entries) {
            if (!entry.hasEquals) {
                Say(entry.line, section, program, Quoted(entry.key) + L": no \"=\" in the line, so it is not read");
                continue;
            }
            auto const [first, fresh] = seen.emplace(IniNameKey(entry.key), entry.line);
            if (!fresh) {
                Say(entry.line, section, program,
                    entry.key + L": again, and only the one on line " + std::to_wstring(first->second) + L" is read");
                continue;
            }
            check(entry);
        }
    }

    void CheckApps() {
        apps_ = Section(kAppsSection);
        if (apps_ == nullptr) return;
        ForEachKey(*apps_, {}, [&](IniEntry const& entry) {
            if (std::optional<int> const number = AppNumber(entry.key)) {
                listed_.emplace(*number, &entry);
            } else if (IniNameKey(entry.key) == IniNameKey(kNumberKey)) {
                number_ = &entry;
            } else if (SettingKey const* known = KnownKey(entry.key, KeyPlace::Apps)) {
                CheckOption(*known, entry);
            } else {
                Say(entry.line, *apps_, {}, UnknownKey(entry.key, KeyPlace::Apps));
            }
        });
    }

    void CheckOption(SettingKey const& key, IniEntry const& entry) {
        if (!key.InFile()) {
            Say(entry.line, *apps_, {}, entry.key + kPolicyOnly);
            return;
        }
        if (entry.value.empty()) return;
        std::wstring const problem = key.problem != nullptr ? key.problem(entry.value) : L"";
        if (!problem.empty()) {
            Say(entry.line, *apps_, {}, std::wstring(key.name) + (key.secret ? L"" : L"=" + entry.value) + L": " + problem);
        }
    }

    // Number and the App<n> keys: what the list holds, and what it leaves out.
    void CheckList() {
        if (apps_ == nullptr) return;
        int count = 0;
        if (number_ != nullptr) {
            std::optional<int> const parsed = ParseProgramCount(number_->value);
            std::wstring const said = L"Number=" + number_->value;
            if (!parsed) {
                unusable_ = true;
                Say(number_->line, *apps_, {}, said + L": not a number of programs from 0 to " +
                                                   std::to_wstring(kMaxStoredCount) + L", so Vigilon does not start");
                return;
            }
            if (!number_->value.empty() && !StartsWithNumber(number_->value)) {
                Say(number_->line, *apps_, {}, said + L": not a number, so it counts as 0 and no program is read");
            }
            count = *parsed;
        }
        CheckMissing(count);
        std::map<std::wstring, int> names;
        for (auto const& [number, entry] : listed_) {
            std::wstring const key = AppKey(number);
            std::wstring const said = key + L"=" + entry->value;
            if (number == 0 || number > count) {
                beyond_.insert(IniNameKey(entry->value));
                std::wstring const why = number == 0       ? L": the list starts at App1, so it is not read"
                                         : number_ == nullptr ? L": [Apps] has no Number, so it is not read"
                                                            : L": beyond Number=" + std::to_wstring(count) + L", so " +
                                                                  entry->value + L" is not watched";
                Say(entry->line, *apps_, {}, said + why);
            } else if (entry->value.empty()) {
                Say(entry->line, *apps_, {}, key + L": empty, so program " + std::to_wstring(number) +
                                                 L" has no name and is not watched");
            } else if (auto const [first, fresh] = names.emplace(IniNameKey(entry->value), number); !fresh) {
                Say(entry->line, *apps_, entry->value, said + L": listed already as App" + std::to_wstring(first->second) +
                                                           L", and both are read from one section");
            } else {
                programs_.push_back(entry->value);
                if (Section(entry->value) == nullptr) {
                    Say(entry->line, *apps_, entry->value,
                        said + L": there is no section [" + entry->value + L"], so it has no caption and is not watched");
                }
            }
        }
    }

    // The App<n> keys from 1 to `count` that are not there, in runs: "App3 to App5: missing".
    void CheckMissing(int count) {
        for (int n = 1; n <= count; ++n) {
            if (listed_.contains(n)) continue;
            int last = n;
            while (last < count && !listed_.contains(last + 1)) ++last;
            bool const one = last == n;
            std::wstring const keys = AppKey(n) + (one ? L"" : L" to " + AppKey(last));
            std::wstring const whose = one ? L"program " + std::to_wstring(n) + L" has" : L"these programs have";
            Say(number_->line, *apps_, {},
                keys + L": missing, so " + whose + L" no name and " + (one ? L"is" : L"are") + L" not watched");
            n = last;
        }
    }

    // The sections of the programs listed, and those no listed name names.
    void CheckSections() {
        if (unusable_) return;  // Vigilon ends at start: nothing else is read
        WatchedPrograms table;
        table.Reset(static_cast<int>(programs_.size()), static_cast<int>(programs_.size()));
        for (std::size_t i = 0; i < programs_.size(); ++i) {
            WatchedProgram& record = table[static_cast<int>(i) + 1];
            record.name = programs_[i];
            IniSection const* section = Section(record.name);
            record.caption = Value(section, kCaptionKey);
            record.rules = ReadRestartRules([&](wchar_t const* key) { return Value(section, key); });
        }
        std::set<IniSection const*> read;
        for (int i = 1; i <= table.Count(); ++i) {
            if (IniSection const* section = Section(table[i].name)) {
                read.insert(section);
                CheckProgram(*section, table, table[i]);
            }
        }
        for (auto const& [name, section] : first_) {
            if (read.contains(section) || name == IniNameKey(kAppsSection) || beyond_.contains(name)) continue;
            Say(section->line, *section, {}, L"no program listed in [Apps] has this name, so the section is not read");
        }
    }

    void CheckProgram(IniSection const& section, WatchedPrograms const& table, WatchedProgram const& record) {
        ForEachKey(section, record.name, [&](IniEntry const& entry) {
            SettingKey const* known = KnownKey(entry.key, KeyPlace::Program);
            if (known == nullptr) {
                Say(entry.line, section, record.name, UnknownKey(entry.key, KeyPlace::Program));
                return;
            }
            std::wstring const said = std::wstring(known->name) + L"=" + ShownUrl(entry.value);
            if (known->name == kStartAfterKey) {
                std::wstring after;
                std::wstring const problem = StartAfterProblem(table, record, after);
                if (!problem.empty()) Say(entry.line, section, record.name, said + L": " + problem);
            } else if (std::wstring const problem = known->problem ? known->problem(entry.value) : L""; !problem.empty()) {
                Say(entry.line, section, record.name, said + L": not " + problem);
            } else if (known->name == kWindowKey && Windowless(record.rules)) {
                std::wstring const exeProblem = WindowlessExeProblem(Value(&section, kExeKey));
                if (!exeProblem.empty()) Say(entry.line, section, record.name, said + L": " + exeProblem);
            }
        });
    }

    // The value the profile functions give for `key` in `section`: the first line of that key.
    static std::wstring Value(IniSection const* section, std::wstring_view key) {
        if (section == nullptr) return {};
        for (IniEntry const& entry : section->entries) {
            if (entry.hasEquals && IniNameKey(entry.key) == IniNameKey(key)) return entry.value;
        }
        return {};
    }

    std::vector<IniSection> const sections_;
    std::map<std::wstring, IniSection const*> first_;  // the first section of each name
    IniSection const* apps_ = nullptr;
    IniEntry const* number_ = nullptr;
    bool unusable_ = false;  // Number is no count of programs
    std::map<int, IniEntry const*> listed_;  // the App<n> keys, by number
    std::set<std::wstring> beyond_;          // the names of App keys that are not read
    std::vector<std::wstring> programs_;     // the names listed, each once, in order
    std::vector<SettingsProblem> problems_;
};

}  // namespace

std::vector<SettingsProblem> CheckSettingsText(std::wstring_view text) { return Checker(text).Run(); }

std::wstring DescribeProblem(SettingsProblem const& problem) {
    return L"line " + std::to_wstring(problem.line) + (problem.section.empty() ? L"" : L" [" + problem.section + L"]") +
           L": " + problem.text;
}

std::wstring ProblemCount(std::size_t count, std::wstring_view fileName) {
    return std::to_wstring(count) + (count == 1 ? L" problem in " : L" problems in ") + std::wstring(fileName);
}

}  // namespace vigilon
