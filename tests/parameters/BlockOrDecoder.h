#pragma once
// A parameter as a table of test cases holds it: the decoder of a parameter with logic of its
// own, the field block of a parameter that is only its field lines, drawn with appendFieldBlock,
// or the line of a parameter that is one number, drawn with appendNumberLine, as the parameter
// table draws them.
#include "base/FieldBlock.h"
#include "base/ParameterDecoder.h"

#include <string>
#include <string_view>

namespace truno {

class BlockOrDecoder {
public:
    BlockOrDecoder(ParameterDecoder decoder) : decoder_(decoder) {}
    BlockOrDecoder(const FieldBlock& block) : block_(&block) {}
    BlockOrDecoder(const BitField& numberLine) : number_(&numberLine) {}

    void operator()(std::string_view contents, Text& out) const {
        if (block_ != nullptr)
            appendFieldBlock(out, contents, *block_);
        else if (number_ != nullptr)
            appendNumberLine(out, *number_, contents);
        else
            decoder_(contents, out);
    }

private:
    ParameterDecoder decoder_ = nullptr;
    const FieldBlock* block_ = nullptr;
    const BitField* number_ = nullptr;
};

// The parameter's block for the contents as its own string (render, base/ParameterDecoder.h,
// for a block or a decoder).
inline std::string render(const BlockOrDecoder& parameter, std::string_view contents) {
    Text out;
    parameter(contents, out);
    return out.str();
}

}  // namespace truno
