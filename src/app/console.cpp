// console layer
