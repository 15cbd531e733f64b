#include "shell/settings/update_relay.h"

namespace rerov::shell {

bool IsRelayCode(int code) {
    return code >= static_cast<int>(RelayCode::Finished) &&
           code <= static_cast<int>(RelayCode::Progress);
}

UpdateProgress& ProgramUpdateProgress() {
    static UpdateProgress progress;
    return progress;
}

}  // namespace rerov::shell
