#pragma once
// Checks of the display attribute a service left in the fake document.

#include <gtest/gtest.h>

#include "fake_tsf/fake_context.h"

namespace fake_tsf {

// Every character of [start, end) carries the attribute as a VT_I4 equal to `atom`,
// and no other character carries any value. An empty span means no attribute anywhere.
inline ::testing::AssertionResult AttributeCoversExactly(const FakeContext& context, long start,
                                                         long end, TfGuidAtom atom) {
    const long length = static_cast<long>(context.Text().size());
    for (long i = 0; i < length; ++i) {
        const auto value = context.AttributeProperty().ValueAt(i);
        const bool inside = start <= i && i < end;
        if (inside && !value) {
            return ::testing::AssertionFailure() << "no attribute at " << i;
        }
        if (inside && (value->type != VT_I4 || static_cast<TfGuidAtom>(value->value) != atom)) {
            return ::testing::AssertionFailure()
                   << "at " << i << " the value is type " << value->type << " value "
                   << value->value << ", not VT_I4 " << atom;
        }
        if (!inside && value) {
            return ::testing::AssertionFailure()
                   << "attribute outside [" << start << ", " << end << ") at " << i;
        }
    }
    for (const auto& value : context.AttributeProperty().Values()) {
        if (value.end > length) {
            return ::testing::AssertionFailure() << "a value reaches past the text";
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult NoAttribute(const FakeContext& context) {
    return AttributeCoversExactly(context, 0, 0, 0);
}

}  // namespace fake_tsf
