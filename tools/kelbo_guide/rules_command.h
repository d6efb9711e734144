#pragma once

#include <map>
#include <string>
#include <vector>

namespace kelbo::guide {

// `kelbo-guide rules add|list|remove|apply`: `words` follow "rules",
// `options` maps "--title", "--channel", "--entry" to their values.
int rulesCommand(const std::vector<std::string>& words, const std::map<std::string, std::string>& options,
                 bool newOnly, const std::string& addinPath);

}  // namespace kelbo::guide
