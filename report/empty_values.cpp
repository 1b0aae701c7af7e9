#include "report/empty_values.h"

#include <CLI/CLI.hpp>

EmptyValuesApart::EmptyValuesApart(const CLI::App& app, int argc, const char* const* argv)
{
    bool optionsEnded = false;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        optionsEnded = optionsEnded || argument == "--";
        const CLI::Option* option =
            !optionsEnded && i > 0 && argument.size() > 3 && argument.rfind("--", 0) == 0 &&
                    argument.back() == '='
                ? app.get_option_no_throw(argument.substr(0, argument.size() - 1))
                : nullptr;
        if (option != nullptr && option->get_items_expected_max() > 0) {
            texts_.push_back(argument.substr(0, argument.size() - 1));
            texts_.push_back(std::string());
        } else {
            texts_.push_back(argument);
        }
    }
    for (const std::string& text : texts_)
        pointers_.push_back(text.c_str());
}
