#include "cadhost/errors.h"

namespace cadhost {

void CheckSymbolName(const std::string& name, const std::string& what) {
  if (name.empty()) Fail("Invalid " + what + " name: the name is empty");
  if (name.size() > 255)
    Fail("Invalid " + what + " name: \"" + name.substr(0, 32) + "...\" is longer than 255 characters");
  if (name.find_first_of("<>/\\\":;?*|=`") != std::string::npos)
    Fail("Invalid " + what + " name \"" + name + "\": a name may not hold < > / \\ \" : ; ? * | = `");
}

}  // namespace cadhost
