#pragma once

namespace kestrova {

// The status codes the web page answers with.
enum HttpStatus : int {
    Ok = 200,
    PartialContent = 206,
    BadRequest = 400,
    Unauthorized = 401,
    Forbidden = 403,
    NotFound = 404,
    MethodNotAllowed = 405,
    PayloadTooLarge = 413,
    UnsupportedMediaType = 415,
    RangeNotSatisfiable = 416,
    TooManyRequests = 429,
    ServiceUnavailable = 503,
};

} // namespace kestrova
