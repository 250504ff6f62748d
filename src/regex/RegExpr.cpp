// Placeholder until the engine lands: every exec fails with "Not Assigned Expression".
#include "regex/RegExpr.h"

namespace kestrix {

struct RegExpr::Impl {
  std::string expression;
  std::function<bool()> poll;
  bool mods[7] = {false, false, true, true, true, false, false};
};

RegExpr::RegExpr() : impl_(std::make_unique<Impl>()) {}
RegExpr::~RegExpr() = default;

void RegExpr::setModifier(int index, bool on) {
  if (index < 1 || index > 6) throw RegExprError(1013, 0, errorMessage(1013));
  impl_->mods[index] = on;
}
bool RegExpr::modifier(int index) const {
  if (index < 1 || index > 6) throw RegExprError(1013, 0, errorMessage(1013));
  return impl_->mods[index];
}
void RegExpr::setExpression(std::string_view expression) { impl_->expression = expression; }
const std::string& RegExpr::expression() const { return impl_->expression; }
bool RegExpr::exec(std::string_view) { throw RegExprError(1003, 0, errorMessage(1003)); }
bool RegExpr::execNext() { throw RegExprError(1007, 0, errorMessage(1007)); }
int RegExpr::matchPos(int) const { return -1; }
int RegExpr::matchLen(int) const { return -1; }
std::string RegExpr::substitute(std::string_view) const {
  throw RegExprError(1005, 0, errorMessage(1005));
}
std::string RegExpr::errorMessage(int) { return "Unknown error"; }
void RegExpr::setPollCallback(std::function<bool()> poll) { impl_->poll = std::move(poll); }

}  // namespace kestrix
