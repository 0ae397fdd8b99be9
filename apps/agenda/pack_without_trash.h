// While it lives, packs keep nothing: the old appointments of an event
// stored anew leave without a copy in the trash, the event itself staying.
// RAII: the keeper before is back afterwards. Single-threaded.
#pragma once

#include "store/pack_keeper.h"

class PackWithoutTrash {
  public:
    PackWithoutTrash() : keeper_(kesp::store::SetPackKeeper(nullptr)) {}
    ~PackWithoutTrash() { kesp::store::SetPackKeeper(keeper_); }
    PackWithoutTrash(const PackWithoutTrash&) = delete;
    PackWithoutTrash& operator=(const PackWithoutTrash&) = delete;

  private:
    kesp::store::PackKeeper* keeper_;
};
