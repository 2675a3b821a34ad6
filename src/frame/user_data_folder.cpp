#include "frame/user_data_folder.h"

namespace tidora::frame {

std::string userDataFolder(const platform::Machine& machine) {
    const std::string appData = machine.specialFolder(26);
    if (appData.empty()) {
        return {};
    }
    return appData + "\\" + kAppFileName + "\\";
}

}  // namespace tidora::frame
