# Warnings for every target of the project, and the sanitizer build.
add_compile_options(-Wall -Wextra -Wpedantic)

if(TARVEX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    # The sanitizer tree is the strict one: a warning there fails the build.
    add_compile_options(-Werror)
    add_link_options(-fsanitize=address,undefined)
endif()

# Symbols resolved at start and the relocations read-only afterwards, as Debian builds programs.
add_link_options(LINKER:-z,relro LINKER:-z,now)
