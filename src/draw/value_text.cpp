#include "value_text.h"

ValueText format_value(double) {
    return ValueText{};
}
IntegerText format_integer(int) {
    return IntegerText{};
}
