#include "model/model.h"
