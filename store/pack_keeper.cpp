#include "store/pack_keeper.h"

namespace kesp::store {

namespace {
PackKeeper* installedKeeper = nullptr;
}

PackKeeper* SetPackKeeper(PackKeeper* keeper) {
    PackKeeper* before = installedKeeper;
    installedKeeper = keeper;
    return before;
}

PackKeeper* CurrentPackKeeper() {
    return installedKeeper;
}

}  // namespace kesp::store
