#include "model/JsonLimits.h"

namespace corvane {

bool jsonNestingWithin(const QByteArray& data, int limit) {
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : data) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                break;
            case '[':
            case '{':
                if (++depth > limit) return false;
                break;
            case ']':
            case '}':
                // An unmatched closer makes the text invalid anyway; it must
                // not buy room for deeper nesting after it.
                if (depth > 0) --depth;
                break;
            default:
                break;
        }
    }
    return true;
}

}  // namespace corvane
