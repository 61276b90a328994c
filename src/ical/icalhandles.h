#pragma once

#include <libical/ical.h>

#include <memory>
#include <string>

// Owners for what libical hands out, so that every early return frees it.

struct IcalComponentFree {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using IcalComponentPtr = std::unique_ptr<icalcomponent, IcalComponentFree>;

struct IcalRecurIteratorFree {
    void operator()(icalrecur_iterator* iterator) const { icalrecur_iterator_free(iterator); }
};
using IcalRecurIteratorPtr = std::unique_ptr<icalrecur_iterator, IcalRecurIteratorFree>;

// A text libical made for the caller (the *_r functions), taken over as a std::string.
inline std::string TakeIcalString(char* text) {
    if (text == nullptr) {
        return {};
    }
    std::string copy(text);
    icalmemory_free_buffer(text);
    return copy;
}
