// Both console programs' command lines, as CLI11 is to read them.
#ifndef KAIRON_REPORT_EMPTY_VALUES_H
#define KAIRON_REPORT_EMPTY_VALUES_H

#include <string>
#include <vector>

namespace CLI {
class App;
}

// CLI11 reads "--name=" as "--name" alone, which then takes the next
// argument for its value: "--prepare= --quiet APP" would run "--quiet".
// Here each "--name=" before a "--", of an option of `app` that takes a
// value, becomes "--name" and an empty argument: the value given, empty,
// for the option to refuse where it needs one. A switch's "--name=" is the
// switch, as CLI11 reads it.
class EmptyValuesApart {
public:
    EmptyValuesApart(const CLI::App& app, int argc, const char* const* argv);
    int argc() const { return static_cast<int>(pointers_.size()); }
    const char* const* argv() const { return pointers_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<const char*> pointers_;
};

#endif
