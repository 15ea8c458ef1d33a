#include "HintText.h"

#include "Board.h"
#include "HintTexts.h"

namespace kelvara {

int HintText::OwnSteps(const PositionValue& value) {
    return value.kind() == PositionValue::Kind::Draw ? 0 : (value.plies() + 1) / 2;
}

std::string HintText::Hint(const StepOutcome& hint) {
    std::string text = hint_texts::kHintPrefix + Board::FormatMove(hint.move);
    switch (hint.value.kind()) {
        case PositionValue::Kind::Win:
            text += hint_texts::kHintWin;
            break;
        case PositionValue::Kind::Loss:
            text += hint_texts::kHintLoss;
            break;
        case PositionValue::Kind::Draw:
            return text + hint_texts::kHintDraw;
    }
    return text + std::to_string(OwnSteps(hint.value)) + hint_texts::kHintStepsSuffix;
}

std::string HintText::NoStep() {
    return hint_texts::kHintNoStep;
}

std::string HintText::Preparing() {
    return hint_texts::kHintPreparing;
}

std::string HintText::Label(const PositionValue& value) {
    switch (value.kind()) {
        case PositionValue::Kind::Win:
            return hint_texts::kLabelWin + std::to_string(OwnSteps(value));
        case PositionValue::Kind::Loss:
            return hint_texts::kLabelLoss + std::to_string(OwnSteps(value));
        case PositionValue::Kind::Draw:
            break;
    }
    return hint_texts::kLabelDraw;
}

}  // namespace kelvara
