#include "Posts.h"

namespace kaede {

TPost::TPost()
    : TEditor([](TBaseStyle* style) -> TBaseView* { return new TPostView(static_cast<TPostStyle*>(style)); },
              [] { return static_cast<TBaseStyle*>(new TPostStyle()); }) {}

}  // namespace kaede
