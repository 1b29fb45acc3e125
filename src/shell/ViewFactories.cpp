#include "shell/ViewFactories.h"

namespace corvane {

ViewFactories& viewFactories() {
    static ViewFactories factories;
    return factories;
}

}  // namespace corvane
