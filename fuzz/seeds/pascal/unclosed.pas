unit Unclosed;
interface
type
  T = class(TObject)
  { never closed
