#include "HintText.h"

#include "Board.h"
#include "HintTexts.h"

namespace kelvara {

int HintText::OwnSteps(const PositionValue& value) {
    return value.kind() == PositionValue::Kind::Draw ? 0 : (value.plies() + 1) / 2;
}

std::string HintText::Hint(const StepOutcome& hint) {
    namespace t = hint_texts;
    const std::string step = Board::FormatMove(hint.move);
    switch (hint.value.kind()) {
        case PositionValue::Kind::Win:
            return Translation::Fill(
                Translation::Text(t::kContext, t::kHintWin, OwnSteps(hint.value)), {step});
        case PositionValue::Kind::Loss:
            return Translation::Fill(
                Translation::Text(t::kContext, t::kHintLoss, OwnSteps(hint.value)), {step});
        case PositionValue::Kind::Draw:
            break;
    }
    return Translation::Fill(Translation::Text(t::kContext, t::kHintDraw), {step});
}

std::string HintText::NoStep() {
    return Translation::Text(hint_texts::kContext, hint_texts::kHintNoStep);
}

std::string HintText::Preparing() {
    return Translation::Text(hint_texts::kContext, hint_texts::kHintPreparing);
}

std::string HintText::Label(const PositionValue& value) {
    namespace t = hint_texts;
    const std::string steps = std::to_string(OwnSteps(value));
    switch (value.kind()) {
        case PositionValue::Kind::Win:
            return Translation::Fill(Translation::Text(t::kContext, t::kLabelWin), {steps});
        case PositionValue::Kind::Loss:
            return Translation::Fill(Translation::Text(t::kContext, t::kLabelLoss), {steps});
        case PositionValue::Kind::Draw:
            break;
    }
    return Translation::Text(t::kContext, t::kLabelDraw);
}

}  // namespace kelvara
