#include "Posts.h"

namespace kaede {

TPost::TPost()
    : TBaseControl([](TBaseStyle* style) { return new TPostView(static_cast<TPostStyle*>(style)); },
                   [] { return new TPostStyle(); }) {}

}  // namespace kaede
