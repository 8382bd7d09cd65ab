#include "document/app_state.h"

AppState& app() {
  static AppState state = [] {
    AppState s;
    s.settings = freshInstallSettings();
    return s;
  }();
  return state;
}
