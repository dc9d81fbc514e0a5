#include "model/model.h"

int Load3ds(Model* model, const char*) {
    *model = Model{};
    return 0;
}

void FreeModel(Model* model) { *model = Model{}; }
